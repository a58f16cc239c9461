#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "management_query.h"
#include "provider_value.h"

namespace tavrix {

// One row of a class, as a list of named properties. Names match without regard to case;
// a property set twice keeps its first place and its last value. Setting and reading take constant
// time on average however many properties the row holds.
class PropertyRow : public ManagementRow {
public:
    explicit PropertyRow(std::string className) : className_(std::move(className)) {}

    const std::string& className() const { return className_; }
    void set(std::string name, ProviderValue value);
    ProviderValue readProperty(std::string_view name) const override;
    const std::vector<std::pair<std::string, ProviderValue>>& properties() const { return properties_; }

private:
    // The position of the property of that name; npos when the row has none.
    std::size_t find(std::string_view name, std::uint64_t hash) const;
    void addToIndex(std::size_t position, std::uint64_t hash);

    std::string className_;
    std::vector<std::pair<std::string, ProviderValue>> properties_;
    // Open-addressing hash index over properties_, built once the row outgrows a linear search:
    // each slot holds the upper 32 bits of the name's hash and position + 1 in its lower ones; 0 is free.
    std::vector<std::uint64_t> index_;
};

// A computer described as the rows WMI would give for it, in order.
class MachineDescription {
public:
    // Starts a new row of the class and returns it for filling.
    PropertyRow& addRow(std::string className);
    // The rows of one class (case-insensitive), in the order they were added.
    std::vector<const PropertyRow*> rowsOf(std::string_view className) const;
    const std::vector<PropertyRow>& rows() const { return rows_; }

private:
    std::vector<PropertyRow> rows_;
};

// Answers "Select * from <Class>" from a MachineDescription; any other query fails.
class DescriptionConnection : public ManagementConnection {
public:
    explicit DescriptionConnection(std::shared_ptr<const MachineDescription> machine);
    std::unique_ptr<ManagementResultSet> ExecQuery(std::string_view query) override;

private:
    std::shared_ptr<const MachineDescription> machine_;
};

// A provider whose every connection answers from the same description.
class DescriptionProvider : public ManagementProvider {
public:
    explicit DescriptionProvider(MachineDescription machine);
    std::unique_ptr<ManagementConnection> openConnection(const std::string& moniker) override;

private:
    std::shared_ptr<const MachineDescription> machine_;
};

// True when the two texts are equal without regard to ASCII case.
bool equalsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace tavrix
