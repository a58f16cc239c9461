// Loading the page module: the entry point of a good module, and a failure that names the file for
// each way a module can be missing or wrong.
#include "ui/qt/module_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using tavrix::qt::loadModuleSymbol;

TEST(ModuleLoader, FindsTheEntryPointOfAGoodModule) {
    const auto entry = loadModuleSymbol(TAVRIX_TEST_MODULE, "tavrix_test_entry");
    ASSERT_NE(entry.address, nullptr) << entry.failure;
    EXPECT_TRUE(entry.failure.empty());
    EXPECT_EQ(reinterpret_cast<int (*)()>(entry.address)(), 42);
}

TEST(ModuleLoader, EachWrongModuleGivesAFailureNamingIt) {
    const std::string notAModule = TAVRIX_SOURCE_DIR "/README.md";
    const std::string missing = TAVRIX_SOURCE_DIR "/no-such-module.so";
    const struct {
        std::string path;
        const char* symbol;
        std::string says;
    } cases[] = {
        {TAVRIX_TEST_MODULE, "tavrix_page_browser", "no tavrix_page_browser in it"},
        {missing, "tavrix_test_entry", "No such file"},
        {notAModule, "tavrix_test_entry", notAModule},
        {"tavrix-page.so", "tavrix_test_entry", "not a path"},  // never searched for on the library path
        {"", "tavrix_test_entry", "not a path"},
    };
    for (const auto& [path, symbol, says] : cases) {
        const auto entry = loadModuleSymbol(path, symbol);
        EXPECT_EQ(entry.address, nullptr) << path;
        EXPECT_NE(entry.failure.find(says), std::string::npos) << path << ": " << entry.failure;
        EXPECT_NE(entry.failure.find(path), std::string::npos) << path << ": " << entry.failure;
    }
}

TEST(ModuleLoader, FindsAPathBesideTheProgram) {
    const std::string folder = std::filesystem::canonical("/proc/self/exe").parent_path().string();
    EXPECT_EQ(tavrix::qt::besideProgram("../lib/tavrix/tavrix-page.so"), folder + "/../lib/tavrix/tavrix-page.so");
}
