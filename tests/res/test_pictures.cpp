// The committed pictures: file layout, sizes, bit depths, transparency and the cursor's hot spot.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cursor_file.h"

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

TEST(ProgramIcon, TwoSixteenColourImagesTransparentOutsideTheDisc) {
    const std::string b = readFile("tavrix.ico");
    ASSERT_EQ(b.size(), 1078u);
    const auto entries = directory(b, 1);
    ASSERT_EQ(entries.size(), 2u);
    expectContiguous(b, entries);
    const int sizes[] = {32, 16};
    const std::uint32_t bytes[] = {744, 296};
    for (int i = 0; i < 2; ++i) {
        const Entry& e = entries[std::size_t(i)];
        EXPECT_EQ(e.width, sizes[i]);
        EXPECT_EQ(e.height, sizes[i]);
        EXPECT_EQ(e.colours, 16);
        EXPECT_EQ(e.field2, 4);
        EXPECT_EQ(e.size, bytes[i]);
        const Dib d = dibAt(b, e);
        EXPECT_EQ(d.width, sizes[i]);
        EXPECT_EQ(d.height, sizes[i]);
        EXPECT_EQ(d.bpp, 4);
        const int n = sizes[i];
        for (auto [x, y] : {std::pair{0, 0}, {n - 1, 0}, {0, n - 1}, {n - 1, n - 1}})
            EXPECT_TRUE(masked(b, d, x, y)) << n << ": corner " << x << "," << y;
        EXPECT_FALSE(masked(b, d, n / 2, n / 2)) << n << ": centre";
        EXPECT_FALSE(masked(b, d, n / 2, 1)) << n << ": rim at the top";
    }
}

TEST(ChatPicture, OneBannerAtEightAndThirtyTwoBitsFullyOpaque) {
    const std::string b = readFile("chat.ico");
    ASSERT_EQ(b.size(), 55542u);
    const auto entries = directory(b, 1);
    ASSERT_EQ(entries.size(), 2u);
    expectContiguous(b, entries);
    const int depths[] = {8, 32};
    for (int i = 0; i < 2; ++i) {
        const Entry& e = entries[std::size_t(i)];
        EXPECT_EQ(e.width, 152);
        EXPECT_EQ(e.height, 68);
        EXPECT_EQ(e.field2, depths[i]);
        const Dib d = dibAt(b, e);
        EXPECT_EQ(d.width, 152);
        EXPECT_EQ(d.height, 68);
        EXPECT_EQ(d.bpp, depths[i]);
        for (std::size_t k = d.maskAt; k < std::size_t(e.offset) + e.size; ++k)
            ASSERT_EQ(b[k], 0) << "mask byte " << k << " of the " << d.bpp << "-bit image";
        if (d.bpp == 32) {
            for (std::size_t p = 0; p < 152 * 68; ++p)
                ASSERT_EQ(static_cast<unsigned char>(b[d.colourAt + 4 * p + 3]), 255) << p;
        }
    }
}

TEST(HandCursor, OneSixteenColourImageWithItsHotSpotAtTheFingerTip) {
    const std::string b = readFile("hand.cur");
    ASSERT_EQ(b.size(), 766u);
    const auto entries = directory(b, 2);
    ASSERT_EQ(entries.size(), 1u);
    expectContiguous(b, entries);
    EXPECT_EQ(entries[0].width, 32);
    EXPECT_EQ(entries[0].height, 32);
    EXPECT_EQ(entries[0].colours, 16);
    const Dib d = dibAt(b, entries[0]);
    EXPECT_EQ(d.bpp, 4);
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
    std::string changed = cursor;
    changed[0] = 1;
    EXPECT_EQ(tavrix::cursorHotSpot(changed), std::nullopt) << "reserved word set";
    changed = cursor;
    changed[4] = 0;
    EXPECT_EQ(tavrix::cursorHotSpot(changed), std::nullopt) << "no images";
    changed = cursor;
    changed[6 + 12] = char(0xff);
    EXPECT_EQ(tavrix::cursorHotSpot(changed), std::nullopt) << "offset beyond the end";
    changed = cursor;
    changed[6 + 4] = 3;
    changed[6 + 6] = 7;
    EXPECT_EQ(tavrix::cursorHotSpot(changed), (std::pair{3, 7})) << "read from the file";
}

}  // namespace
