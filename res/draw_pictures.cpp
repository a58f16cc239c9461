// Draws res/tavrix.ico, res/chat.ico and res/hand.cur. Remake them from the checkout root:
//   g++ -std=c++20 -Wall -Wextra -O2 -o /tmp/draw_pictures res/draw_pictures.cpp && /tmp/draw_pictures res
//
// Every pixel is drawn here; the files are committed and the normal build does not run this.
// Layout of each image: BITMAPINFOHEADER (height doubled), palette (if any), colour rows
// bottom-up padded to 4 bytes, AND mask rows (1 bit per pixel, 1 = transparent) padded to 4 bytes.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "res/icon_drawing.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};

void put16(Bytes& out, unsigned v) {
    out.push_back(std::uint8_t(v & 0xff));
    out.push_back(std::uint8_t((v >> 8) & 0xff));
}

void put32(Bytes& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// One image: indices into a palette (bpp 4 or 8) or direct colours (bpp 32), and a mask.
struct Image {
    int width = 0, height = 0, bpp = 0;
    std::vector<Rgb> palette;           // 16 or 256 entries for bpp 4/8; colour table for bpp 32
    std::vector<std::uint8_t> index;    // row-major, top row first
    std::vector<std::uint8_t> masked;   // 1 = transparent

    Image(int w, int h, int b, std::vector<Rgb> pal)
        : width(w), height(h), bpp(b), palette(std::move(pal)), index(std::size_t(w * h), 0),
          masked(std::size_t(w * h), 0) {}
    std::uint8_t& at(int x, int y) { return index[std::size_t(y * width + x)]; }
    void set(int x, int y, int c) {
        if (x >= 0 && y >= 0 && x < width && y < height) at(x, y) = std::uint8_t(c);
    }
    void fill(int x0, int y0, int x1, int y1, int c) {  // inclusive rectangle
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) set(x, y, c);
    }
};

Bytes dib(const Image& im) {
    const int rowBytes = ((im.width * im.bpp + 31) / 32) * 4;
    const int maskRowBytes = ((im.width + 31) / 32) * 4;
    Bytes out;
    put32(out, 40);
    put32(out, std::uint32_t(im.width));
    put32(out, std::uint32_t(im.height * 2));
    put16(out, 1);
    put16(out, unsigned(im.bpp));
    put32(out, 0);  // BI_RGB
    put32(out, std::uint32_t((rowBytes + maskRowBytes) * im.height));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    if (im.bpp <= 8) {
        for (std::size_t i = 0; i < (std::size_t(1) << im.bpp); ++i) {
            const Rgb c = i < im.palette.size() ? im.palette[i] : Rgb{0, 0, 0};
            out.insert(out.end(), {c.b, c.g, c.r, 0});
        }
    }
    for (int y = im.height - 1; y >= 0; --y) {
        Bytes row(std::size_t(rowBytes), 0);
        for (int x = 0; x < im.width; ++x) {
            const std::size_t i = std::size_t(y * im.width + x);
            const std::uint8_t v = im.masked[i] ? 0 : im.index[i];
            if (im.bpp == 4) {
                row[std::size_t(x / 2)] |= std::uint8_t(x % 2 == 0 ? v << 4 : v);
            } else if (im.bpp == 8) {
                row[std::size_t(x)] = v;
            } else {
                const Rgb c = im.palette[v];
                const std::uint8_t a = im.masked[i] ? 0 : 255;
                row[std::size_t(x * 4)] = c.b;
                row[std::size_t(x * 4 + 1)] = c.g;
                row[std::size_t(x * 4 + 2)] = c.r;
                row[std::size_t(x * 4 + 3)] = a;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = im.height - 1; y >= 0; --y) {
        Bytes row(std::size_t(maskRowBytes), 0);
        for (int x = 0; x < im.width; ++x)
            if (im.masked[std::size_t(y * im.width + x)])
                row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// type 1 = icon, 2 = cursor (hot spot in the planes/bit-count fields).
Bytes iconFile(unsigned type, const std::vector<Image>& images, int hotX = 0, int hotY = 0) {
    std::vector<Bytes> data;
    for (const Image& im : images) data.push_back(dib(im));
    Bytes out;
    put16(out, 0);
    put16(out, type);
    put16(out, unsigned(images.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& im = images[i];
        out.push_back(std::uint8_t(im.width & 0xff));
        out.push_back(std::uint8_t(im.height & 0xff));
        out.push_back(std::uint8_t(im.bpp == 4 ? 16 : 0));
        out.push_back(0);
        if (type == 2) {
            put16(out, unsigned(hotX));
            put16(out, unsigned(hotY));
        } else {
            put16(out, 1);
            put16(out, unsigned(im.bpp));
        }
        put32(out, std::uint32_t(data[i].size()));
        put32(out, offset);
        offset += std::uint32_t(data[i].size());
    }
    for (const Bytes& d : data) out.insert(out.end(), d.begin(), d.end());
    return out;
}

// The 16 standard Windows colours.
const std::vector<Rgb> vga = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
constexpr int kBlack = 0, kNavy = 4, kSilver = 7, kGray = 8, kWhite = 15;

// ---- program icon -------------------------------------------------------------------------

Image drawIcon(int size) {
    namespace icon = tavrix::icon;
    Image im(size, size, 4, vga);
    const double c = (size - 1) / 2.0, r = size / 2.0 - (icon::grid / 2.0 - icon::discRadius);
    const double rim = size == icon::grid ? icon::rimWidth : 1.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c);
            if (d > r) im.masked[std::size_t(y * size + x)] = 1;
            else im.at(x, y) = std::uint8_t(d > r - rim ? kBlack : kNavy);
        }
    if (size == icon::grid) {
        const icon::Cells dot = icon::dot;
        im.fill(dot.left, dot.top, dot.right, dot.bottom, kWhite);
        for (const int x : {dot.left, dot.right})
            for (const int y : {dot.top, dot.bottom}) im.set(x, y, kNavy);
        for (const icon::Cells& part : icon::letter) im.fill(part.left, part.top, part.right, part.bottom, kWhite);
    } else {  // 16 by 16: the same letter fitted to whole pixels by hand
        im.fill(7, 3, 8, 4, kWhite);
        im.fill(6, 6, 8, 6, kWhite);
        im.fill(7, 6, 8, 11, kWhite);
        im.fill(6, 11, 9, 12, kWhite);
    }
    return im;
}

// ---- hand cursor --------------------------------------------------------------------------

Image drawHand() {
    Image im(32, 32, 4, vga);
    std::vector<std::uint8_t> inside(32 * 32, 0);
    auto area = [&](int x0, int y0, int x1, int y1) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) inside[std::size_t(y * 32 + x)] = 1;
    };
    area(11, 2, 13, 16);   // index finger, its tip just under the hot spot (12, 1)
    area(15, 9, 17, 16);   // middle finger
    area(19, 10, 21, 16);  // ring finger
    area(23, 12, 24, 17);  // little finger
    area(11, 16, 24, 25);  // palm
    area(12, 26, 23, 26);
    area(13, 27, 22, 27);
    area(6, 16, 10, 18);   // thumb
    area(7, 19, 10, 20);
    area(8, 21, 10, 22);
    area(13, 28, 22, 30);  // cuff
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            auto in = [&](int xx, int yy) {
                return xx >= 0 && yy >= 0 && xx < 32 && yy < 32 && inside[std::size_t(yy * 32 + xx)];
            };
            if (in(x, y)) {
                im.at(x, y) = std::uint8_t(y >= 28 ? kSilver : kWhite);
            } else if (in(x - 1, y) || in(x + 1, y) || in(x, y - 1) || in(x, y + 1)) {
                im.at(x, y) = kBlack;
            } else {
                im.masked[std::size_t(y * 32 + x)] = 1;
            }
        }
    // Separate the fingers, round the tips, and draw the cuff's edge.
    for (int y = 9; y <= 16; ++y) im.set(14, y, kBlack);
    for (int y = 10; y <= 16; ++y) im.set(18, y, kBlack);
    for (int y = 12; y <= 16; ++y) im.set(22, y, kBlack);
    for (int x = 13; x <= 22; ++x) im.set(x, 27, kBlack);
    for (int y = 17; y <= 20; ++y) im.set(11, y, kBlack);  // thumb's crease
    for (int y = 3; y <= 15; ++y) im.set(13, y, kGray);    // shading on the index finger
    return im;
}

// ---- chat picture -------------------------------------------------------------------------

// A 5 by 7 bitmap font for the letters the banner uses.
const char* glyph(char ch) {
    switch (ch) {
        case 'A': return ".###.#...##...#######...##...##...#";
        case 'C': return ".#####....#....#....#....#.....####";
        case 'E': return "######....#....####.#....#....#####";
        case 'H': return "#...##...##...#######...##...##...#";
        case 'I': return ".###...#....#....#....#....#...###.";
        case 'L': return "#....#....#....#....#....#....#####";
        case 'T': return "#####..#....#....#....#....#....#..";
        case 'V': return "#...##...##...##...##...#.#.#...#..";
        case 'O': return ".###.#...##...##...##...##...#.###.";
        case 'a': return "...........###.....#.#####...#.####";
        case 'e': return "...........###.#...#######.....###.";
        case 'g': return "..........####.#...#.####....#.###.";
        case 'i': return "..#........##....#....#....#...###.";
        case 'k': return "#....#....#..#.#.#..##...#.#..#..#.";
        case 'l': return ".##....#....#....#....#....#...###.";
        case 'n': return "..........####.#...##...##...##...#";
        case 'o': return "...........###.#...##...##...#.###.";
        case 'p': return "..........####.#...#####.#....#....";
        case 'r': return "..........#.##.##..##....#....#....";
        case 's': return "...........#####.....###.....#####.";
        case 't': return "..#....#..#####..#....#....#.....##";
        case 'u': return "..........#...##...##...##..##.##.#";
        case '!': return "..#....#....#....#....#.........#..";
        default: return "...................................";
    }
}

int textWidth(const std::string& s, int scale) { return int(s.size()) * 6 * scale - scale; }

void drawText(Image& im, const std::string& s, int x, int y, int scale, int colour) {
    for (char ch : s) {
        const char* g = glyph(ch);
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (g[row * 5 + col] == '#')
                    im.fill(x + col * scale, y + row * scale, x + col * scale + scale - 1,
                            y + row * scale + scale - 1, colour);
        x += 6 * scale;
    }
}

// Palette: 0..63 a blue gradient for the background, then a few flat colours.
constexpr int kGradient = 0, kShades = 64;
constexpr int cWhite = 64, cBlack = 65, cYellow = 66, cGreen = 67, cShadow = 68, cBubble = 69,
              cBubbleEdge = 70, cDarkBlue = 71, cLightBlue = 72;

std::vector<Rgb> chatPalette() {
    std::vector<Rgb> p(256, Rgb{0, 0, 0});
    for (int i = 0; i < kShades; ++i) {
        const double t = i / double(kShades - 1);
        p[std::size_t(kGradient + i)] = Rgb{std::uint8_t(20 + 20 * t), std::uint8_t(90 + 60 * t),
                                            std::uint8_t(170 + 70 * t)};
    }
    p[cWhite] = {255, 255, 255};
    p[cBlack] = {0, 0, 0};
    p[cYellow] = {255, 214, 40};
    p[cGreen] = {40, 200, 70};
    p[cShadow] = {10, 50, 110};
    p[cBubble] = {250, 250, 255};
    p[cBubbleEdge] = {20, 60, 130};
    p[cDarkBlue] = {15, 45, 110};
    p[cLightBlue] = {120, 180, 240};
    return p;
}

// A rounded speech bubble with its tail below-left; (x0, y0)-(x1, y1) is the body.
void bubble(Image& im, int x0, int y0, int x1, int y1, int fill, int edge, bool tailLeft) {
    const int r = 3;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const int dx = x < x0 + r ? x0 + r - x : (x > x1 - r ? x - (x1 - r) : 0);
            const int dy = y < y0 + r ? y0 + r - y : (y > y1 - r ? y - (y1 - r) : 0);
            const int d2 = dx * dx + dy * dy;
            if (d2 > r * r + 1) continue;
            const bool border = x == x0 || x == x1 || y == y0 || y == y1 || d2 > (r - 1) * (r - 1) + 1;
            im.set(x, y, border ? edge : fill);
        }
    for (int k = 1; k <= 5; ++k) {  // tail
        const int tx = tailLeft ? x0 + 4 : x1 - 4;
        for (int j = 0; j <= 5 - k; ++j) {
            const int x = tailLeft ? tx + j - (k > 2 ? k - 2 : 0) : tx - j + (k > 2 ? k - 2 : 0);
            im.set(x, y1 + k - 1, j == 0 || j == 5 - k ? edge : fill);
        }
        im.set(tailLeft ? tx - (k > 2 ? k - 2 : 0) : tx + (k > 2 ? k - 2 : 0), y1 + k, edge);
    }
}

Image drawChat(int bpp) {
    Image im(152, 68, bpp, chatPalette());
    for (int y = 0; y < 68; ++y)
        for (int x = 0; x < 152; ++x)
            im.at(x, y) = std::uint8_t(kGradient + (kShades - 1) - (y * (kShades - 1)) / 67);
    // Frame.
    for (int x = 0; x < 152; ++x) {
        im.set(x, 0, cDarkBlue);
        im.set(x, 67, cDarkBlue);
    }
    for (int y = 0; y < 68; ++y) {
        im.set(0, y, cDarkBlue);
        im.set(151, y, cDarkBlue);
    }
    // Two overlapping speech bubbles at the left.
    bubble(im, 14, 14, 34, 28, cLightBlue, cBubbleEdge, false);
    bubble(im, 5, 6, 27, 21, cBubble, cBubbleEdge, true);
    for (int i = 0; i < 3; ++i) im.fill(10 + i * 6, 13, 11 + i * 6, 14, cDarkBlue);  // "..."
    // Big words with a shadow.
    const std::string big = "LIVE CHAT";
    const int bx = 38 + (152 - 38 - textWidth(big, 2)) / 2;
    drawText(im, big, bx + 1, 10, 2, cShadow);
    drawText(im, big, bx, 9, 2, cWhite);
    // Green "online" dot.
    im.fill(bx, 27, bx + 3, 30, cGreen);
    im.set(bx, 27, kGradient + 40);
    im.set(bx + 3, 27, kGradient + 40);
    im.set(bx, 30, kGradient + 40);
    im.set(bx + 3, 30, kGradient + 40);
    drawText(im, "Online", bx + 6, 26, 1, cWhite);
    // Small words on a yellow button.
    const std::string small = "Talk to a support agent";
    const int sw = textWidth(small, 1);
    const int sx = (152 - sw) / 2;
    im.fill(sx - 3, 44, sx + sw + 2, 58, cYellow);
    for (int x = sx - 3; x <= sx + sw + 2; ++x) im.set(x, 59, cShadow);
    im.set(sx - 3, 44, kGradient + 20);
    im.set(sx + sw + 2, 44, kGradient + 20);
    im.set(sx - 3, 58, kGradient + 12);
    im.set(sx + sw + 2, 58, kGradient + 12);
    drawText(im, small, sx, 47, 1, cBlack);
    return im;
}

bool writeFile(const std::string& path, const Bytes& bytes, std::size_t expected) {
    if (bytes.size() != expected) {
        std::cerr << path << ": " << bytes.size() << " bytes, expected " << expected << "\n";
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::cout << path << ": " << bytes.size() << " bytes\n";
    return bool(out);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = writeFile(dir + "/tavrix.ico", iconFile(1, {drawIcon(32), drawIcon(16)}), 1078);
    ok = writeFile(dir + "/chat.ico", iconFile(1, {drawChat(8), drawChat(32)}), 55542) && ok;
    ok = writeFile(dir + "/hand.cur", iconFile(2, {drawHand()}, 12, 1), 766) && ok;
    return ok ? 0 : 1;
}
