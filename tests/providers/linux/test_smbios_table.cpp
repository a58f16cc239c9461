#include "smbios_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "scan_error.h"
#include "smbios_writer.h"

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
    std::string legacy(0x0F, '\0');
    legacy.replace(0, 5, "_DMI_");
    legacy[0x06] = static_cast<char>(table.size());
    legacy[0x0C] = 3;
    legacy[0x0E] = 0x21;
    const auto v21 = SmbiosTable::fromEntryPoint(legacy, table);
    for (const SmbiosTable* decoded : {&v3, &v2, &v21}) {
        ASSERT_EQ(decoded->structures().size(), 3u);
        const auto& bios = decoded->structures()[0];
        EXPECT_EQ(bios.string(0x04), "Acme BIOS");
        EXPECT_EQ(bios.string(0x05), "1.0 ");
        const auto& system = *decoded->ofType(1).at(0);
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

// A 2.x count of 0 leaves the structures to the table's length.
TEST(SmbiosTable, AStructureCountOfZeroMeansUpToTheTableLength) {
    const std::string table = biosAndSystem();
    for (const auto& entry :
         {SmbiosWriter::entryPoint2(table.size(), 0), SmbiosWriter::entryPointLegacy(table.size(), 0, 0x21)}) {
        const auto decoded = SmbiosTable::fromEntryPoint(entry, table);
        EXPECT_EQ(decoded.structures().size(), 3u);
        EXPECT_TRUE(decoded.problem().empty()) << decoded.problem();
    }
}

TEST(SmbiosTable, StopsAtEndOfTableTheTableLengthAndTheStructureCount) {
    std::string table = biosAndSystem() + std::string("\x01\x1B\x05\x00", 4) + std::string(0x17 + 2, '\0');
    EXPECT_EQ(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(table.size()), table).structures().size(), 3u);
    EXPECT_EQ(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint2(table.size(), 1), table).structures().size(), 1u);
    EXPECT_EQ(SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(45), table).structures().size(), 1u);
}

TEST(SmbiosTable, DecodesMalformedTablesAsFarAsTheyAreSound) {
    const std::string good = biosAndSystem();
    const std::size_t firstEnd = good.find("1.0 ") + 6;
    auto decodedCount = [](const std::string& table) {
        return SmbiosTable::fromEntryPoint(SmbiosWriter::entryPoint3(0xFFFFFFFF), table).structures().size();
    };
    EXPECT_EQ(decodedCount(good.substr(0, firstEnd + 10)), 1u);  // truncated inside the second structure
    EXPECT_EQ(decodedCount(good.substr(0, firstEnd - 1)), 0u);   // string set without its terminator
    std::string shortHeader = good;
    shortHeader[firstEnd + 1] = 2;  // a length shorter than the header
    EXPECT_EQ(decodedCount(shortHeader), 1u);
    std::string pastEnd = good;
    pastEnd[firstEnd + 1] = static_cast<char>(0xFF);  // a length running past the end
    EXPECT_EQ(decodedCount(pastEnd), 1u);
    EXPECT_EQ(decodedCount(""), 0u);
    EXPECT_EQ(decodedCount(std::string(3, '\0')), 0u);
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
    try {
        SmbiosTable::fromDump("not a dump at all", "pc.bin");
        FAIL();
    } catch (const ScanError& failure) {
        EXPECT_THAT(failure.what(), ::testing::StartsWith("pc.bin: no SMBIOS entry point"));
    }
}

}  // namespace
