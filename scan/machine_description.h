#pragma once

#include <array>
#include <cstring>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "management_query.h"
#include "provider_value.h"

namespace tavrix {

// Texts kept for as long as the arena lives, each at an address that never changes. Rows keep their
// names and values here, so that filling a row allocates nothing on its own.
class TextArena {
public:
    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // A copy of the text that lives as long as the arena. The same text kept again from the same
    // place, as a name from a string literal, gives the earlier copy instead of a new one.
    std::string_view keep(std::string_view text);

private:
    struct Kept {
        const char* from = nullptr;
        std::size_t size = 0;
        const char* copy = nullptr;
    };

    std::array<Kept, 16> recent_{};  // the last texts kept, by where they came from
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* free_ = nullptr;
    std::size_t left_ = 0;
    std::size_t nextChunk_ = 512;
};

// One row of a class, as a list of named properties. Names match without regard to case;
// a property set twice keeps its first place and its last value. Setting and reading take constant
// time on average however many properties the row holds.
class PropertyRow : public ManagementRow {
public:
    // A row with its own arena.
    explicit PropertyRow(std::string_view className);
    // A row whose texts go to the arena, which must outlive it; the class name too, unless it is
    // given as kept there already.
    PropertyRow(std::string_view className, TextArena& arena, bool classNameKept = false);
    PropertyRow(PropertyRow&&) noexcept = default;
    PropertyRow& operator=(PropertyRow&&) noexcept = default;

    std::string_view className() const { return {className_, classNameSize_}; }
    void set(std::string_view name, const ProviderValue& value);
    void setText(std::string_view name, std::string_view text);
    void setNumber(std::string_view name, std::int64_t number);
    ProviderValue readProperty(std::string_view name) const override;
    std::size_t propertyCount() const { return count_; }
    // The properties in the order they were first set.
    std::vector<std::pair<std::string_view, ProviderValue>> properties() const;

private:
    struct Property {
        const char* name = nullptr;  // in the arena
        union {
            const char* text;  // in the arena, for a text value
            std::int64_t number = 0;
        };
        std::uint32_t nameSize : 24 = 0;
        std::uint32_t kind : 8 = 0;  // the value's index in ProviderValue
        std::uint32_t textSize = 0;
    };

    std::string_view nameOf(const Property& property) const { return {property.name, property.nameSize}; }
    ProviderValue valueOf(const Property& property) const;
    // The property of that name, added at the end when the row has none.
    Property& findOrAdd(std::string_view name);
    Property& at(std::size_t position) {
        return position < inline_.size() ? inline_[position] : wide_->more[position - inline_.size()];
    }
    const Property& at(std::size_t position) const {
        return position < inline_.size() ? inline_[position] : wide_->more[position - inline_.size()];
    }
    bool indexed() const { return wide_ && !wide_->index.empty(); }
    // The position of the property of that name; npos when the row has none.
    std::size_t find(std::string_view name, std::uint64_t hash) const;
    void addToIndex(std::size_t position, std::uint64_t hash);

    // What only rows of more than four properties need.
    struct Wide {
        std::vector<Property> more;  // the properties after the first four
        // Open-addressing hash index over all the properties, built once the row outgrows a linear
        // search: each slot holds the upper 32 bits of the name's hash and position + 1 in its lower
        // ones; 0 is free.
        std::vector<std::uint64_t> index;
    };

    std::unique_ptr<TextArena> ownArena_;  // for a row made on its own
    TextArena* arena_ = nullptr;
    const char* className_ = "";
    std::uint32_t classNameSize_ = 0;
    std::uint32_t count_ = 0;
    std::array<Property, 4> inline_;  // the first properties, as most rows hold no more
    std::unique_ptr<Wide> wide_;
};

// A computer described as the rows WMI would give for it, in order.
class MachineDescription {
public:
    // Starts a new row of the class and returns it for filling.
    PropertyRow& addRow(std::string_view className);
    // Makes room for that many rows, so that adding them moves none.
    void reserve(std::size_t rows) { rows_.reserve(rows); }
    // The rows of one class (case-insensitive), in the order they were added.
    std::vector<const PropertyRow*> rowsOf(std::string_view className) const;
    const std::vector<PropertyRow>& rows() const { return rows_; }

private:
    std::unique_ptr<TextArena> texts_ = std::make_unique<TextArena>();  // on the heap, so a move keeps the rows' texts
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
inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    // Eight bytes a step, each word with its letters A to Z made lower case, then compared whole.
    // Folding works byte by byte, so overlapping or gathered bytes compare as well as whole words.
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    auto lowered = [](std::uint64_t word) {
        const std::uint64_t heptets = word & (0x7F * ones);
        const std::uint64_t atLeastA = heptets + (0x80 - 'A') * ones;  // high bit set from 'A' up
        const std::uint64_t pastZ = heptets + (0x7F - 'Z') * ones;     // high bit set past 'Z'
        const std::uint64_t upper = atLeastA & ~pastZ & ~word & (0x80 * ones);
        return word | (upper >> 2);
    };
    auto same = [&](std::uint64_t x, std::uint64_t y) { return x == y || lowered(x) == lowered(y); };
    auto load = [](const char* at, std::size_t size) {
        std::uint64_t word = 0;
        std::memcpy(&word, at, size);
        return word;
    };
    const std::size_t size = a.size();
    if (size >= 8) {
        for (std::size_t i = 0; i + 8 < size; i += 8) {
            if (!same(load(a.data() + i, 8), load(b.data() + i, 8))) return false;
        }
        return same(load(a.data() + size - 8, 8), load(b.data() + size - 8, 8));  // the last eight, overlapping
    }
    if (size >= 4) {
        return same(load(a.data(), 4) | load(a.data() + size - 4, 4) << 32,
                    load(b.data(), 4) | load(b.data() + size - 4, 4) << 32);
    }
    if (size == 0) return true;
    auto gathered = [size](std::string_view text) {
        return std::uint64_t{static_cast<unsigned char>(text[0])} |
               std::uint64_t{static_cast<unsigned char>(text[size / 2])} << 8 |
               std::uint64_t{static_cast<unsigned char>(text[size - 1])} << 16;
    };
    return same(gathered(a), gathered(b));
}

}  // namespace tavrix
