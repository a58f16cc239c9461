#include "scan/machine_description.h"

#include <algorithm>

#include "scan/ascii_text.h"
#include "scan/scan_error.h"

namespace tavrix {

namespace {

// Rows up to this many properties are searched one by one, as WMI's rows are all this small.
constexpr std::size_t linearSearchLimit = 16;
// As many properties as a row may hold, far beyond any file a reader accepts.
constexpr std::size_t maximumProperties = 0x7FFFFFFF;

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

std::size_t PropertyRow::CaseBlindHash::operator()(std::string_view name) const {
    return static_cast<std::size_t>(caseBlindHash(name));
}

bool PropertyRow::CaseBlindEqual::operator()(std::string_view a, std::string_view b) const {
    return equalsIgnoringCase(a, b);
}

std::size_t PropertyRow::find(std::string_view name) const {
    if (!index_.empty()) {
        const auto found = index_.find(name);
        return found == index_.end() ? std::string::npos : found->second;
    }
    for (std::size_t i = 0; i < properties_.size(); ++i) {
        if (equalsIgnoringCase(properties_[i].first, name)) return i;
    }
    return std::string::npos;
}

void PropertyRow::set(std::string_view name, ProviderValue value) {
    if (const std::size_t position = find(name); position != std::string::npos) {
        properties_[position].second = std::move(value);
        return;
    }
    if (properties_.size() >= maximumProperties) {
        throw ScanError("more than " + std::to_string(maximumProperties) + " properties in one " + className() +
                        " row");
    }
    properties_.emplace_back(std::string(name), std::move(value));
    if (properties_.size() == linearSearchLimit + 1) {
        for (std::size_t i = 0; i < properties_.size(); ++i) index_.emplace(properties_[i].first, i);
    } else if (!index_.empty()) {
        index_.emplace(properties_.back().first, properties_.size() - 1);
    }
}

ProviderValue PropertyRow::readProperty(std::string_view name) const {
    const std::size_t position = find(name);
    return position == std::string::npos ? ProviderValue(Absent{}) : properties_[position].second;
}

std::string PropertyRow::propertyName(std::string_view name) const {
    const std::size_t position = find(name);
    return position == std::string::npos ? std::string(name) : properties_[position].first;
}

std::string_view ClassProperties::spelling(std::string_view property) const {
    for (const std::string_view listed : properties) {
        if (equalsIgnoringCase(listed, property)) return listed;
    }
    return {};
}

const ClassProperties* findClass(const std::vector<ClassProperties>& classes, std::string_view className) {
    for (const ClassProperties& listed : classes) {
        if (equalsIgnoringCase(listed.className, className)) return &listed;
    }
    return nullptr;
}

PropertyRow& MachineDescription::addRow(std::string_view className) {
    // A row of the same class as the one before shares its name: rows of a class mostly follow each other.
    if (!rows_.empty() && rows_.back().className() == className)
        return rows_.emplace_back(rows_.back().sharedClassName());
    return rows_.emplace_back(std::string(className));
}

std::vector<const PropertyRow*> MachineDescription::rowsOf(std::string_view className) const {
    std::vector<const PropertyRow*> found;
    for (const PropertyRow& row : rows_) {
        if (equalsIgnoringCase(row.className(), className)) found.push_back(&row);
    }
    return found;
}

std::optional<std::string_view> queriedClass(std::string_view query) {
    constexpr std::string_view prefix = "select * from ";
    if (query.size() <= prefix.size() || !equalsIgnoringCase(query.substr(0, prefix.size()), prefix)) {
        return std::nullopt;
    }
    return query.substr(prefix.size());
}

DescriptionConnection::DescriptionConnection(std::shared_ptr<const MachineDescription> machine)
    : machine_(std::move(machine)) {}

std::unique_ptr<ManagementResultSet> DescriptionConnection::ExecQuery(std::string_view query) {
    const auto className = queriedClass(query);
    if (!className) throw ScanError("unsupported query: " + std::string(query));
    return std::make_unique<RowListResultSet>(machine_, machine_->rowsOf(*className));
}

DescriptionProvider::DescriptionProvider(MachineDescription machine)
    : machine_(std::make_shared<const MachineDescription>(std::move(machine))) {}

std::unique_ptr<ManagementConnection> DescriptionProvider::openConnection(const std::string&) {
    return std::make_unique<DescriptionConnection>(machine_);
}

}  // namespace tavrix
