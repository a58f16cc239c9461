// Runs against the WMI of the computer (or Wine prefix) it runs on, so it checks only what every
// implementation answers: the seven classes exist, names match without regard to case, failures
// name their call.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "providers/windows/com_failure.h"
#include "providers/windows/wmi_provider.h"
#include "scan/hardware_scan.h"
#include "scan/scan_error.h"

namespace {

using tavrix::ProviderValue;

class WmiProviderTest : public ::testing::Test {
protected:
    tavrix::WmiProvider provider;
    std::unique_ptr<tavrix::ManagementConnection> connection = provider.openConnection(tavrix::localMoniker());

    // The values of one property, one per row, in the provider's order.
    std::vector<ProviderValue> column(const char* query, const char* property) {
        std::vector<ProviderValue> values;
        auto rows = connection->ExecQuery(query);
        while (const tavrix::ManagementRow* row = rows->next()) values.push_back(row->readProperty(property));
        return values;
    }
};

std::string failureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const tavrix::ManagementServiceError& failure) {
        return failure.what();
    }
    return "no failure";
}

// The memory size as decimal text in the one system row, the clock speed as a whole number, a
// property the class lacks as absent; names match without regard to case.
TEST_F(WmiProviderTest, PropertiesArriveAsTheirKindWhateverTheCaseOfTheirName) {
    const auto memory = column("Select * from Win32_ComputerSystem", "TotalPhysicalMemory");
    ASSERT_EQ(memory.size(), 1u);
    const auto* text = std::get_if<std::string>(&memory[0]);
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->empty());
    EXPECT_EQ(text->find_first_not_of("0123456789"), std::string::npos) << *text;
    const auto speeds = column("Select * from Win32_Processor", "CurrentClockSpeed");
    ASSERT_FALSE(speeds.empty());
    for (const auto& speed : speeds) {
        const auto* whole = std::get_if<std::int64_t>(&speed);
        EXPECT_TRUE(whole && *whole > 0);
    }
    const auto lacking = column("Select * from Win32_Bios", "NoSuchProperty");
    ASSERT_FALSE(lacking.empty());
    for (const auto& value : lacking) EXPECT_TRUE(tavrix::isAbsent(value));

    const auto proper = column("Select * from Win32_Processor", "Manufacturer");
    ASSERT_FALSE(proper.empty());
    EXPECT_EQ(column("Select * from Win32_Processor", "manufacturer"), proper);
    EXPECT_EQ(column("Select * from Win32_Processor", "MANUFACTURER"), proper);
    EXPECT_EQ(column("Select * from Win32_Baseboard", "product"), column("Select * from Win32_Baseboard", "Product"));
}

TEST_F(WmiProviderTest, ResultSetsRunSideBySideAndOutliveTheirConnection) {
    auto bios = connection->ExecQuery("Select * from Win32_Bios");
    auto boards = connection->ExecQuery("Select * from Win32_Baseboard");
    connection.reset();
    const tavrix::ManagementRow* board = boards->next();
    const tavrix::ManagementRow* firmware = bios->next();
    ASSERT_NE(board, nullptr);
    ASSERT_NE(firmware, nullptr);
    EXPECT_FALSE(tavrix::isAbsent(firmware->readProperty("SMBIOSBIOSVersion")));
    EXPECT_FALSE(tavrix::isAbsent(board->readProperty("Product")));
    while (bios->next() != nullptr) continue;
    EXPECT_EQ(bios->next(), nullptr);
}

TEST_F(WmiProviderTest, FailuresNameTheCallAndItsHresult) {
    EXPECT_EQ(failureOf([&] { connection->ExecQuery("Selec nonsense"); }),
              "ISWbemServices::ExecQuery(\"Selec nonsense\") failed with HRESULT 0x80041017");
    const std::string badNamespace = "winmgmts:{impersonationLevel=impersonate}!\\\\.\\root\\nosuch";
    EXPECT_EQ(failureOf([&] { provider.openConnection(badNamespace); }),
              "CoGetObject(\"" + badNamespace + "\") failed with HRESULT 0x8004100E");
    // Windows and Wine differ in which moniker error a name nobody registered gives.
    const std::string unknown = failureOf([&] { provider.openConnection("nosuchmoniker:here"); });
    EXPECT_EQ(unknown.rfind("CoGetObject(\"nosuchmoniker:here\") failed with HRESULT 0x800", 0), 0u) << unknown;
}

}  // namespace
