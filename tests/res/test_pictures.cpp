// The committed pictures: file layout, sizes, bit depths, transparency and the cursor's hot spot.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "res/cursor_file.h"

namespace {

std::string readFile(const std::string& name) {
    std::ifstream in(std::string(TAVRIX_SOURCE_DIR) + "/res/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t le(const std::string& b, std::size_t at, std::size_t width) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v |= std::uint32_t(static_cast<unsigned char>(b.at(at + i))) << (8 * i);
    return v;
}

struct Entry {
    int width, height, colours, field1, field2;
    std::uint32_t size, offset;
};

struct Dib {
    int width, height, bpp;
    std::size_t colourAt, maskAt;  // file offsets of the colour rows and of the AND mask
    std::size_t rowBytes, maskRowBytes;
};

std::vector<Entry> directory(const std::string& b, unsigned type) {
    EXPECT_GE(b.size(), 6u);
    EXPECT_EQ(le(b, 0, 2), 0u);
    EXPECT_EQ(le(b, 2, 2), type);
    std::vector<Entry> entries;
    const std::size_t count = le(b, 4, 2);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        entries.push_back({int(le(b, e, 1)), int(le(b, e + 1, 1)), int(le(b, e + 2, 1)),
                           int(le(b, e + 4, 2)), int(le(b, e + 6, 2)), le(b, e + 8, 4),
                           le(b, e + 12, 4)});
    }
    return entries;
}

// Checks that the images follow the directory back to back and fill the file exactly.
void expectContiguous(const std::string& b, const std::vector<Entry>& entries) {
    std::size_t next = 6 + 16 * entries.size();
    for (const Entry& e : entries) {
        EXPECT_EQ(e.offset, next);
        next += e.size;
    }
    EXPECT_EQ(next, b.size());
}

Dib dibAt(const std::string& b, const Entry& e) {
    const std::size_t at = e.offset;
    EXPECT_EQ(le(b, at, 4), 40u);
    EXPECT_EQ(le(b, at + 12, 2), 1u);   // planes
    EXPECT_EQ(le(b, at + 16, 4), 0u);   // uncompressed
    Dib d{int(le(b, at + 4, 4)), int(le(b, at + 8, 4)) / 2, int(le(b, at + 14, 2)), 0, 0, 0, 0};
    EXPECT_EQ(int(le(b, at + 8, 4)), 2 * d.height);
    const std::size_t palette = d.bpp <= 8 ? (std::size_t(4) << d.bpp) : 0;
    d.rowBytes = std::size_t((d.width * d.bpp + 31) / 32 * 4);
    d.maskRowBytes = std::size_t((d.width + 31) / 32 * 4);
    d.colourAt = at + 40 + palette;
    d.maskAt = d.colourAt + d.rowBytes * std::size_t(d.height);
    EXPECT_EQ(d.maskAt + d.maskRowBytes * std::size_t(d.height), std::size_t(e.offset) + e.size);
    return d;
}

bool masked(const std::string& b, const Dib& d, int x, int y) {
    const std::size_t row = d.maskAt + d.maskRowBytes * std::size_t(d.height - 1 - y);
    return (static_cast<unsigned char>(b.at(row + std::size_t(x / 8))) >> (7 - x % 8)) & 1;
}

// Each file: its type (1 icon, 2 cursor), size, and per image width, height, colour count, bits a
// pixel and bytes (0: not checked); the images' headers agree with the directory.
TEST(Pictures, EachFileHoldsItsImagesBackToBack) {
    struct Image {
        int width, height, colours, bpp;
        std::uint32_t bytes;
    };
    struct Case {
        const char* name;
        unsigned type;
        std::size_t size;
        std::vector<Image> images;
    };
    for (const Case& c : {Case{"tavrix.ico", 1, 1078, {{32, 32, 16, 4, 744}, {16, 16, 16, 4, 296}}},
                          Case{"chat.ico", 1, 55542, {{152, 68, 0, 8, 0}, {152, 68, 0, 32, 0}}},
                          Case{"hand.cur", 2, 766, {{32, 32, 16, 4, 0}}}}) {
        SCOPED_TRACE(c.name);
        const std::string b = readFile(c.name);
        ASSERT_EQ(b.size(), c.size);
        const auto entries = directory(b, c.type);
        ASSERT_EQ(entries.size(), c.images.size());
        expectContiguous(b, entries);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            const Image& want = c.images[i];
            EXPECT_EQ(std::tuple(e.width, e.height), std::tuple(want.width, want.height));
            if (want.colours) { EXPECT_EQ(e.colours, want.colours); }
            if (c.type == 1) { EXPECT_EQ(e.field2, want.bpp); }  // a cursor's hot spot instead
            if (want.bytes) { EXPECT_EQ(e.size, want.bytes); }
            const Dib d = dibAt(b, e);
            EXPECT_EQ(std::tuple(d.width, d.height, d.bpp), std::tuple(want.width, want.height, want.bpp));
        }
    }
}

// The disc is opaque, its corners transparent.
TEST(ProgramIcon, TransparentOutsideTheDisc) {
    const std::string b = readFile("tavrix.ico");
    for (const Entry& e : directory(b, 1)) {
        const Dib d = dibAt(b, e);
        const int n = d.width;
        for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}})
            EXPECT_TRUE(masked(b, d, x, y)) << n << ": corner " << x << "," << y;
        EXPECT_FALSE(masked(b, d, n / 2, n / 2)) << n << ": centre";
        EXPECT_FALSE(masked(b, d, n / 2, 1)) << n << ": rim at the top";
    }
}

TEST(ChatPicture, FullyOpaque) {
    const std::string b = readFile("chat.ico");
    for (const Entry& e : directory(b, 1)) {
        const Dib d = dibAt(b, e);
        for (std::size_t k = d.maskAt; k < std::size_t(e.offset) + e.size; ++k)
            ASSERT_EQ(b[k], 0) << "mask byte " << k << " of the " << d.bpp << "-bit image";
        for (std::size_t p = 0; d.bpp == 32 && p < 152 * 68; ++p)
            ASSERT_EQ(static_cast<unsigned char>(b[d.colourAt + 4 * p + 3]), 255) << p;
    }
}

TEST(HandCursor, ItsHotSpotIsAtTheFingerTip) {
    const std::string b = readFile("hand.cur");
    const Dib d = dibAt(b, directory(b, 2).at(0));
    EXPECT_FALSE(masked(b, d, 12, 1)) << "the hot spot lies on the hand";
    EXPECT_TRUE(masked(b, d, 0, 0));
    EXPECT_EQ(tavrix::cursorHotSpot(b), (std::pair{12, 1}));
}

TEST(CursorHotSpot, RejectsWhatIsNotACursorFile) {
    const std::string cursor = readFile("hand.cur");
    ASSERT_EQ(cursor.size(), 766u);
    EXPECT_EQ(tavrix::cursorHotSpot(""), std::nullopt);
    EXPECT_EQ(tavrix::cursorHotSpot(cursor.substr(0, 21)), std::nullopt) << "entry cut short";
    EXPECT_EQ(tavrix::cursorHotSpot(cursor.substr(0, 22)), std::nullopt) << "no image data";
    EXPECT_EQ(tavrix::cursorHotSpot(cursor.substr(0, 765)), std::nullopt) << "image cut short";
    EXPECT_EQ(tavrix::cursorHotSpot(readFile("tavrix.ico")), std::nullopt) << "an icon file";
    auto changed = [&](std::initializer_list<std::pair<std::size_t, char>> bytes) {
        std::string file = cursor;
        for (const auto& [at, value] : bytes) file[at] = value;
        return tavrix::cursorHotSpot(file);
    };
    EXPECT_EQ(changed({{0, 1}}), std::nullopt) << "reserved word set";
    EXPECT_EQ(changed({{4, 0}}), std::nullopt) << "no images";
    EXPECT_EQ(changed({{6 + 12, char(0xff)}}), std::nullopt) << "offset beyond the end";
    EXPECT_EQ(changed({{6 + 4, 3}, {6 + 6, 7}}), (std::pair{3, 7})) << "read from the file";
}

}  // namespace
