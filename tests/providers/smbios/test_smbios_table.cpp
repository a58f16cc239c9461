#include "providers/smbios/smbios_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "scan/scan_error.h"
#include "tests/providers/smbios/smbios_writer.h"

namespace {

using namespace tavrix;
using tavrix::testing::SmbiosWriter;

std::string biosAndSystem() {
    SmbiosWriter w;
    w.structure(0, 0x18, 0x0000).string(0x04, "Acme BIOS").string(0x05, "1.0 ");
    w.structure(1, 0x1B, 0x0001).string(0x04, "Acme").byte(0x05, 0).byte(0x06, 9).string(0x07, "Bad\x01\xC3\xA9");
    return w.table();
}

TEST(SmbiosTable, DecodesStructuresAndStringsOfEveryEntryPointKind) {
    const std::string table = biosAndSystem();
    const auto v3 = SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(table.size()), table);
    const auto v2 = SmbiosTable::fromDump(
        SmbiosWriter::dump(SmbiosWriter::entryPoint2(table.size(), 3, 2, 8, 0xF0000), table), "x");
    const auto v21 = SmbiosTable::fromEntryPoint(SmbiosWriter::entryPointLegacy(table.size(), 3, 0x21), table);
    for (const SmbiosTable* decoded : {&v3, &v2, &v21}) {
        ASSERT_EQ(decoded->structures().size(), 3u);
        const auto& bios = decoded->structures()[0];
        EXPECT_EQ(bios.string(0x04), "Acme BIOS");
        EXPECT_EQ(bios.string(0x05), "1.0 ");
        const auto& system = *decoded->ofType(smbios::StructureType::system).at(0);
        EXPECT_EQ(system.handle, 1);
        EXPECT_EQ(system.string(0x05), std::nullopt);  // index 0
        EXPECT_EQ(system.string(0x06), std::nullopt);  // past the string set
        EXPECT_EQ(system.string(0x07), "Bad...");      // non-printable bytes shown as "."
        EXPECT_EQ(system.string(0x40), std::nullopt);  // past the structure
        EXPECT_EQ(decoded->structures().back().type, 127);
    }
    EXPECT_EQ(v3.majorVersion(), 3);
    EXPECT_EQ(v2.minorVersion(), 8);
    EXPECT_EQ(v21.majorVersion(), 2);
    EXPECT_EQ(v21.minorVersion(), 1);
}

// A damaged entry point is decoded on, as the kernel hands the table over, with a warning that
// names what is wrong.
TEST(SmbiosTable, DecodesEntryPointsWithBadChecksumsOrLengthsButSaysWhatIsWrong) {
    const std::string table = biosAndSystem();
    auto changed = [](std::string entry, std::size_t offset, unsigned char value) {
        entry[offset] = static_cast<char>(value);
        return entry;
    };
    const std::string v3 = SmbiosWriter::entryPoint3(table.size());
    const std::string v2 = SmbiosWriter::entryPoint2(table.size(), 3);
    const std::string legacy = SmbiosWriter::entryPointLegacy(table.size(), 3, 0x21);
    const std::pair<std::string, std::string> cases[] = {
        {v3, ""},
        {v2, ""},
        {legacy, ""},
        {changed(v3, 0x05, v3[0x05] + 1),
         "the _SM3_ entry point's checksum is wrong (its 24 bytes sum to 0x01, not 0)"},
        {changed(v3, 0x06, 0xFF), "the _SM3_ entry point gives its length as 255 bytes, where it has 24 to 32"},
        {changed(v3, 0x06, 0x00), "the _SM3_ entry point gives its length as 0 bytes, where it has 24 to 32"},
        {changed(v2, 0x04, v2[0x04] - 1), "the _SM_ entry point's checksum is wrong (its 31 bytes sum to 0xff, not 0)"},
        {changed(v2, 0x05, 0xFF), "the _SM_ entry point gives its length as 255 bytes, where it has 30 to 32"},
        {changed(changed(v2, 0x15, v2[0x15] + 2), 0x04, v2[0x04] - 2),  // the outer sum still right
         "the _SM_ entry point's intermediate checksum is wrong (the 15 bytes from _DMI_ sum to 0x02, not 0)"},
        {changed(legacy, 0x05, legacy[0x05] + 3),
         "the _DMI_ entry point's checksum is wrong (its 15 bytes sum to 0x03, not 0)"},
    };
    for (const auto& [entry, problem] : cases) {
        const auto decoded = SmbiosTable::fromEntryPoint(entry, table);
        EXPECT_EQ(decoded.structures().size(), 3u) << problem;
        if (problem.empty()) {
            EXPECT_THAT(decoded.entryPointProblems(), ::testing::IsEmpty());
        } else {
            EXPECT_THAT(decoded.entryPointProblems(), ::testing::ElementsAre(problem + "; decoded anyway"));
        }
    }
}

// The structures end at the end-of-table structure, the table's length or the structure count,
// whichever comes first; a 2.x count of 0 leaves them to the table's length, without a problem.
TEST(SmbiosTable, StopsAtEndOfTableTheTableLengthAndTheStructureCount) {
    const std::string sound = biosAndSystem();
    const std::string longer = sound + std::string("\x01\x1B\x05\x00", 4) + std::string(0x17 + 2, '\0');
    struct Case {
        std::string entry, table;
        std::size_t count;
    };
    for (const Case& c : {Case{SmbiosWriter::entryPoint3(longer.size()), longer, 3},
                          Case{SmbiosWriter::entryPoint2(longer.size(), 1), longer, 1},
                          Case{SmbiosWriter::entryPoint3(45), longer, 1},
                          Case{SmbiosWriter::entryPoint2(sound.size(), 0), sound, 3},
                          Case{SmbiosWriter::entryPointLegacy(sound.size(), 0, 0x21), sound, 3}}) {
        const auto decoded = SmbiosTable::fromEntryPoint(c.entry, c.table);
        EXPECT_EQ(decoded.structures().size(), c.count);
        EXPECT_TRUE(c.table != sound || decoded.problem().empty()) << decoded.problem();
    }
}

TEST(SmbiosTable, DecodesMalformedTablesAsFarAsTheyAreSound) {
    const std::string good = biosAndSystem();
    const std::size_t firstEnd = good.find("1.0 ") + 6;
    auto withSecondLength = [&](char length) { return std::string(good).replace(firstEnd + 1, 1, 1, length); };
    const std::pair<std::string, std::size_t> cases[] = {
        {good.substr(0, firstEnd + 10), 1},  // truncated inside the second structure
        {good.substr(0, firstEnd - 1), 0},   // string set without its terminator
        {withSecondLength(2), 1},            // a length shorter than the header
        {withSecondLength('\xFF'), 1},       // a length running past the end
        {"", 0},
        {std::string(3, '\0'), 0},
    };
    for (const auto& [table, count] : cases)
        EXPECT_EQ(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(0xFFFFFFFF), table).structures().size(), count);
}

TEST(SmbiosTable, ShortStructuresGiveNoLaterFields) {
    SmbiosWriter w;
    w.structure(17, 0x15, 0x10).word(0x0C, 1024);
    const std::string table = w.table();
    const auto decoded = SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(table.size()), table);
    const auto& device = decoded.structures().at(0);
    EXPECT_EQ(device.word(0x0C), 1024);
    EXPECT_EQ(device.word(0x15), std::nullopt);
    EXPECT_EQ(device.dword(0x12), std::nullopt);
    EXPECT_EQ(device.byte(0x14), 0);
}

TEST(SmbiosTable, KeepsItsStructuresWhenMoved) {
    auto tiny = [](const char* text) {  // short enough to live inside a std::string object
        SmbiosWriter w;
        w.structure(2, 0x05, 0x02).string(0x04, text);
        return w.table();
    };
    std::optional<SmbiosTable> first(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(14), tiny("A")));
    const SmbiosTable moved = std::move(*first);
    first.emplace(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(14), tiny("B")));  // reuses the storage
    ASSERT_EQ(moved.structures().size(), 2u);
    EXPECT_EQ(moved.structures()[0].string(0x04), "A");
}

// Inputs the fuzzer once found faulty, kept so that they stay harmless.
TEST(SmbiosTable, DecodesFuzzerFindingsSafely) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TAVRIX_TEST_DATA) + "/smbios/fuzz")) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::optional<SmbiosTable> table(SmbiosTable::fromDump(bytes, entry.path().string()));
        const SmbiosTable moved = std::move(*table);
        table.reset();
        for (const auto& structure : moved.structures()) {
            for (std::size_t offset = 0; offset < structure.length(); ++offset) {
                for (const char c : structure.string(offset).value_or("")) EXPECT_TRUE(c >= 0x20 && c <= 0x7E);
            }
        }
    }
}

TEST(SmbiosTable, RejectsDataWithoutAnEntryPoint) {
    EXPECT_THROW(SmbiosTable::fromEntryPoint("_SM", ""), ScanError);
    EXPECT_THROW(SmbiosTable::fromEntryPoint(std::string("_SM3_") + std::string(4, '\0'), ""), ScanError);
    EXPECT_THAT([] { SmbiosTable::fromDump("not a dump at all", "pc.bin"); },
                ::testing::ThrowsMessage<ScanError>(::testing::StartsWith("pc.bin: no SMBIOS entry point")));
}

}  // namespace
