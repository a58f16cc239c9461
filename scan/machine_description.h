#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "scan/management_query.h"
#include "scan/provider_value.h"

namespace tavrix {

// One row of a class: its properties as name and value pairs, in the order each was first set.
// Names match without regard to ASCII case; a property set twice keeps its first place and its
// last value. Past sixteen properties a hash index over the names keeps setting and reading a
// property in constant time on average, however many the row holds.
class PropertyRow : public ManagementRow {
public:
    explicit PropertyRow(std::string className)
        : PropertyRow(std::make_shared<const std::string>(std::move(className))) {}
    // A row that shares its class name with other rows of the class.
    explicit PropertyRow(std::shared_ptr<const std::string> className) : className_(std::move(className)) {}

    const std::string& className() const { return *className_; }
    const std::shared_ptr<const std::string>& sharedClassName() const { return className_; }
    void set(std::string_view name, ProviderValue value);
    ProviderValue readProperty(std::string_view name) const override;
    std::string propertyName(std::string_view name) const override;
    std::size_t propertyCount() const { return properties_.size(); }
    const std::vector<std::pair<std::string, ProviderValue>>& properties() const { return properties_; }

private:
    // Names compared and hashed without regard to ASCII case, looked up as string_view.
    struct CaseBlindHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct CaseBlindEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    // The position of the property of that name; npos when the row has none.
    std::size_t find(std::string_view name) const;

    std::shared_ptr<const std::string> className_;
    std::vector<std::pair<std::string, ProviderValue>> properties_;
    // Each property's position by its name; empty while the row is small enough to search one by one.
    std::unordered_map<std::string, std::size_t, CaseBlindHash, CaseBlindEqual> index_;
};

// A class a reader queries and the properties it reads of its rows, each spelt as WMI spells it.
struct ClassProperties {
    std::string_view className;
    std::vector<std::string_view> properties;

    // The listed spelling of the property (case-insensitive); empty when it is not listed.
    std::string_view spelling(std::string_view property) const;
};

// The listed class of that name (case-insensitive); nullptr when there is none.
const ClassProperties* findClass(const std::vector<ClassProperties>& classes, std::string_view className);

// A computer described as the rows WMI would give for it, in order.
class MachineDescription {
public:
    // Starts a new row of the class and returns it for filling; it stays where it is as rows are added.
    PropertyRow& addRow(std::string_view className);
    // The rows of one class (case-insensitive), in the order they were added.
    std::vector<const PropertyRow*> rowsOf(std::string_view className) const;
    const std::deque<PropertyRow>& rows() const { return rows_; }

private:
    std::deque<PropertyRow> rows_;
};

// The class that "Select * from <Class>" asks for, the keywords in any case; nullopt for any other query.
std::optional<std::string_view> queriedClass(std::string_view query);

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

}  // namespace tavrix
