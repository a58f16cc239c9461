#include "machine_description.h"

#include <algorithm>

#include "scan_error.h"

namespace tavrix {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

class RowListResultSet : public ManagementResultSet {
public:
    RowListResultSet(std::shared_ptr<const MachineDescription> machine, std::vector<const PropertyRow*> rows)
        : machine_(std::move(machine)), rows_(std::move(rows)) {}

    const ManagementRow* next() override { return position_ < rows_.size() ? rows_[position_++] : nullptr; }

private:
    std::shared_ptr<const MachineDescription> machine_;  // keeps the rows alive
    std::vector<const PropertyRow*> rows_;
    std::size_t position_ = 0;
};

}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

void PropertyRow::set(std::string name, ProviderValue value) {
    for (auto& [existing, old] : properties_) {
        if (equalsIgnoringCase(existing, name)) {
            old = std::move(value);
            return;
        }
    }
    properties_.emplace_back(std::move(name), std::move(value));
}

ProviderValue PropertyRow::readProperty(std::string_view name) const {
    for (const auto& [existing, value] : properties_) {
        if (equalsIgnoringCase(existing, name)) return value;
    }
    return Absent{};
}

PropertyRow& MachineDescription::addRow(std::string className) { return rows_.emplace_back(std::move(className)); }

std::vector<const PropertyRow*> MachineDescription::rowsOf(std::string_view className) const {
    std::vector<const PropertyRow*> found;
    for (const auto& row : rows_) {
        if (equalsIgnoringCase(row.className(), className)) found.push_back(&row);
    }
    return found;
}

DescriptionConnection::DescriptionConnection(std::shared_ptr<const MachineDescription> machine)
    : machine_(std::move(machine)) {}

std::unique_ptr<ManagementResultSet> DescriptionConnection::ExecQuery(std::string_view query) {
    constexpr std::string_view prefix = "select * from ";
    if (query.size() <= prefix.size() || !equalsIgnoringCase(query.substr(0, prefix.size()), prefix)) {
        throw ScanError("unsupported query: " + std::string(query));
    }
    return std::make_unique<RowListResultSet>(machine_, machine_->rowsOf(query.substr(prefix.size())));
}

DescriptionProvider::DescriptionProvider(MachineDescription machine)
    : machine_(std::make_shared<const MachineDescription>(std::move(machine))) {}

std::unique_ptr<ManagementConnection> DescriptionProvider::openConnection(const std::string&) {
    return std::make_unique<DescriptionConnection>(machine_);
}

}  // namespace tavrix
