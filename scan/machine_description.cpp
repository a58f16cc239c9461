#include "machine_description.h"

#include <algorithm>
#include <cstring>

#include "scan_error.h"

namespace tavrix {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Rows up to this many properties are searched one by one, as WMI's rows are all this small.
constexpr std::size_t linearSearchLimit = 16;
// The index keeps positions, and properties keep their texts' sizes, in 32 bits; names' in 24.
constexpr std::size_t maximumProperties = 0x7FFFFFFF;
constexpr std::size_t maximumText = 0xFFFFFFFF;
constexpr std::size_t maximumNameSize = 0xFFFFFF;

// FNV-1a over the name with ASCII letters in lower case, so that names equal without regard to case hash alike.
std::uint64_t caseBlindHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(lowerAscii(c))) * 1099511628211ull;
    return hash ^ (hash >> 29);
}

const char* keptClassName(TextArena& arena, std::string_view className) {
    if (className.size() > maximumText) throw ScanError("a class name longer than " + std::to_string(maximumText) + " bytes");
    return arena.keep(className).data();
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

std::string_view TextArena::keep(std::string_view text) {
    if (text.empty()) return std::string_view("", 0);
    Kept& recent = recent_[((reinterpret_cast<std::uintptr_t>(text.data()) >> 3) ^ text.size()) % recent_.size()];
    if (recent.from == text.data() && recent.size == text.size() && std::memcmp(recent.copy, text.data(), text.size()) == 0) {
        return {recent.copy, text.size()};
    }
    if (text.size() > left_) {
        // Chunks double up to 1 MiB; a longer text gets a chunk of its own size.
        const std::size_t size = std::max(text.size(), nextChunk_);
        nextChunk_ = std::min<std::size_t>(nextChunk_ * 2, 1024 * 1024);
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        free_ = chunks_.back().get();
        left_ = size;
    }
    char* kept = free_;
    std::memcpy(kept, text.data(), text.size());
    free_ += text.size();
    left_ -= text.size();
    recent = {text.data(), text.size(), kept};
    return {kept, text.size()};
}

PropertyRow::PropertyRow(std::string_view className) : ownArena_(std::make_unique<TextArena>()) {
    arena_ = ownArena_.get();
    className_ = keptClassName(*arena_, className);
    classNameSize_ = static_cast<std::uint32_t>(className.size());
}

PropertyRow::PropertyRow(std::string_view className, TextArena& arena, bool classNameKept)
    : arena_(&arena),
      className_(classNameKept ? className.data() : keptClassName(arena, className)),
      classNameSize_(static_cast<std::uint32_t>(className.size())) {}

ProviderValue PropertyRow::valueOf(const Property& property) const {
    switch (property.kind) {
    case 1: return ProviderValue(std::in_place_type<std::string>, property.text, property.textSize);
    case 2: return ProviderValue(property.number);
    default: return ProviderValue(Absent{});
    }
}

std::size_t PropertyRow::find(std::string_view name, std::uint64_t hash) const {
    if (!indexed()) {
        const std::size_t inlineCount = std::min<std::size_t>(count_, inline_.size());
        for (std::size_t i = 0; i < inlineCount; ++i) {
            if (inline_[i].nameSize == name.size() && equalsIgnoringCase(nameOf(inline_[i]), name)) return i;
        }
        for (std::size_t i = inlineCount; i < count_; ++i) {
            if (equalsIgnoringCase(nameOf(at(i)), name)) return i;
        }
        return std::string::npos;
    }
    const std::vector<std::uint64_t>& index = wide_->index;
    const std::size_t mask = index.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t entry = index[slot];
        if (entry == 0) return std::string::npos;
        const std::size_t position = (entry & 0xFFFFFFFFu) - 1;
        if ((entry >> 32) == (hash >> 32) && equalsIgnoringCase(nameOf(at(position)), name)) return position;
    }
}

void PropertyRow::addToIndex(std::size_t position, std::uint64_t hash) {
    std::vector<std::uint64_t>& index = wide_->index;
    const std::size_t mask = index.size() - 1;
    std::size_t slot = hash & mask;
    while (index[slot] != 0) slot = (slot + 1) & mask;
    index[slot] = (hash & 0xFFFFFFFF00000000u) | (position + 1);
}

PropertyRow::Property& PropertyRow::findOrAdd(std::string_view name) {
    const std::uint64_t hash = !indexed() && count_ < linearSearchLimit ? 0 : caseBlindHash(name);
    if (const std::size_t position = find(name, hash); position != std::string::npos) {
        return at(position);  // a value set again replaces the old; its old text stays in the arena, unused
    }
    if (count_ >= maximumProperties) {
        throw ScanError("more than " + std::to_string(maximumProperties) + " properties in one " +
                        std::string(className()) + " row");
    }
    if (name.size() > maximumNameSize) {
        throw ScanError("a property name of more than " + std::to_string(maximumNameSize) + " bytes in a " +
                        std::string(className()) + " row");
    }
    const char* kept = arena_->keep(name).data();
    if (count_ >= inline_.size() && !wide_) wide_ = std::make_unique<Wide>();
    Property& property = count_ < inline_.size() ? inline_[count_] : wide_->more.emplace_back();
    property.name = kept;
    property.nameSize = static_cast<std::uint32_t>(name.size());
    property.kind = 0;
    ++count_;
    // The index stays at most half full; it is rebuilt at twice the size when it would pass that.
    if (count_ > linearSearchLimit && count_ * 2 > wide_->index.size()) {
        wide_->index.assign(std::max<std::size_t>(64, wide_->index.size() * 2), 0);
        for (std::size_t i = 0; i < count_; ++i) addToIndex(i, caseBlindHash(nameOf(at(i))));
    } else if (indexed()) {
        addToIndex(count_ - 1, hash);
    }
    return at(count_ - 1);
}

void PropertyRow::setText(std::string_view name, std::string_view text) {
    Property& property = findOrAdd(name);
    if (text.size() > maximumText) {
        throw ScanError("a text of more than " + std::to_string(maximumText) + " bytes in a " + std::string(className()) +
                        " row");
    }
    property.text = arena_->keep(text).data();
    property.textSize = static_cast<std::uint32_t>(text.size());
    property.kind = 1;
}

void PropertyRow::setNumber(std::string_view name, std::int64_t number) {
    Property& property = findOrAdd(name);
    property.number = number;
    property.kind = 2;
}

void PropertyRow::set(std::string_view name, const ProviderValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        setText(name, *text);
    } else if (const auto* number = std::get_if<std::int64_t>(&value)) {
        setNumber(name, *number);
    } else {
        findOrAdd(name).kind = 0;
    }
}

ProviderValue PropertyRow::readProperty(std::string_view name) const {
    const std::size_t position = find(name, indexed() ? caseBlindHash(name) : 0);
    return position == std::string::npos ? ProviderValue(Absent{}) : valueOf(at(position));
}

std::vector<std::pair<std::string_view, ProviderValue>> PropertyRow::properties() const {
    std::vector<std::pair<std::string_view, ProviderValue>> all;
    all.reserve(count_);
    for (std::size_t i = 0; i < count_; ++i) all.emplace_back(nameOf(at(i)), valueOf(at(i)));
    return all;
}

PropertyRow& MachineDescription::addRow(std::string_view className) {
    // A row of the same class as the one before shares its copy of the name.
    if (!rows_.empty() && rows_.back().className() == className) {
        return rows_.emplace_back(rows_.back().className(), *texts_, true);
    }
    return rows_.emplace_back(className, *texts_);
}

std::vector<const PropertyRow*> MachineDescription::rowsOf(std::string_view className) const {
    std::vector<const PropertyRow*> found;
    // Rows of one class kept from the same text share their copy of the name: one comparison per copy.
    const char* same = nullptr;
    const char* other = nullptr;
    for (const auto& row : rows_) {
        const char* name = row.className().data();
        if (name == other) continue;
        if (name == same || equalsIgnoringCase(row.className(), className)) {
            same = name;
            found.push_back(&row);
        } else {
            other = name;
        }
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
