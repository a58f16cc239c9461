#include "machine_description.h"

#include <algorithm>

#include "scan_error.h"

namespace tavrix {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Rows up to this many properties are searched one by one, as WMI's rows are all this small.
constexpr std::size_t linearSearchLimit = 16;
// The index keeps positions in 32 bits.
constexpr std::size_t maximumProperties = 0x7FFFFFFF;

// FNV-1a over the name with ASCII letters in lower case, so that names equal without regard to case hash alike.
std::uint64_t caseBlindHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(lowerAscii(c))) * 1099511628211ull;
    return hash ^ (hash >> 29);
}

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

std::size_t PropertyRow::find(std::string_view name, std::uint64_t hash) const {
    if (index_.empty()) {
        for (std::size_t i = 0; i < properties_.size(); ++i) {
            if (equalsIgnoringCase(properties_[i].first, name)) return i;
        }
        return std::string::npos;
    }
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = index_[slot];
        if (entry == 0) return std::string::npos;
        const std::size_t position = (entry & 0xFFFFFFFFu) - 1;
        if ((entry >> 32) == (hash >> 32) && equalsIgnoringCase(properties_[position].first, name)) {
            return position;
        }
    }
}

void PropertyRow::addToIndex(std::size_t position, std::uint64_t hash) {
    const std::size_t mask = index_.size() - 1;
    std::size_t slot = hash & mask;
    while (index_[slot] != 0) slot = (slot + 1) & mask;
    index_[slot] = (hash & 0xFFFFFFFF00000000u) | (position + 1);
}

void PropertyRow::set(std::string name, ProviderValue value) {
    const std::uint64_t hash = caseBlindHash(name);
    if (const std::size_t position = find(name, hash); position != std::string::npos) {
        properties_[position].second = std::move(value);
        return;
    }
    if (properties_.size() >= maximumProperties) {
        throw ScanError("more than " + std::to_string(maximumProperties) + " properties in one " + className_ +
                        " row");
    }
    properties_.emplace_back(std::move(name), std::move(value));
    // The index stays at most half full; it is rebuilt at twice the size when it would pass that.
    if (properties_.size() > linearSearchLimit && properties_.size() * 2 > index_.size()) {
        index_.assign(std::max<std::size_t>(64, index_.size() * 2), 0);
        for (std::size_t i = 0; i < properties_.size(); ++i) addToIndex(i, caseBlindHash(properties_[i].first));
    } else if (!index_.empty()) {
        addToIndex(properties_.size() - 1, hash);
    }
}

ProviderValue PropertyRow::readProperty(std::string_view name) const {
    const std::size_t position = find(name, index_.empty() ? 0 : caseBlindHash(name));
    return position == std::string::npos ? ProviderValue(Absent{}) : properties_[position].second;
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
