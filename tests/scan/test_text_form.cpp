#include "scan/text_form.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include <stdlib.h>

using tavrix::Absent;
using tavrix::ProviderValue;
using tavrix::roundToHundredths;
using tavrix::TextForm;

TEST(TextForm, WritesValuesAndFloatsInGeneralFormWithTheInjectedSeparator) {
    const TextForm text;
    EXPECT_EQ(text(ProviderValue(Absent{})), "");
    EXPECT_EQ(text(ProviderValue(std::string("  Acme  "))), "  Acme  ");
    EXPECT_EQ(text(ProviderValue(std::int64_t{1333})), "1333");
    EXPECT_EQ(text(ProviderValue(std::int64_t{-7})), "-7");
    const std::tuple<const char*, double, const char*> floats[] = {
        {".", 4096.0, "4096"},  {".", 7.89, "7.89"}, {".", 0.5, "0.5"},  {".", 0.99 * 1024, "1013.76"},
        {".", 1536.0, "1536"},  {".", 0.0, "0"},     {".", -0.0, "0"},   {".", 1.0 / 3.0, "0.333333333333333"},
        {".", 123456789012345.0, "123456789012345"}, {".", 1e15, "1E+15"},
        {",", 7.89, "7,89"},    {",", 4096.0, "4096"}, {"\xD9\xAB", 0.5, "0\xD9\xAB" "5"},
    };
    for (const auto& [separator, value, shown] : floats) EXPECT_EQ(TextForm(separator)(value), shown) << value;
}

TEST(TextForm, RoundsHalfwayHundredthsToEven) {
    const std::pair<double, double> cases[] = {{0.125, 0.12},        {0.375, 0.38},      {0.625, 0.62},
                                               {0.875, 0.88},        {7.8896484375, 7.89}, {0.990234375, 0.99},
                                               {8.0, 8.0},           {0.0, 0.0}};
    for (const auto& [value, rounded] : cases) EXPECT_DOUBLE_EQ(roundToHundredths(value), rounded) << value;
}

// Builds a German locale, whose decimal separator is a comma, into a folder of its own for LOCPATH,
// so the test needs no installed locale, only the sources of the locales package.
TEST(TextForm, TakesTheSeparatorFromTheCurrentLocale) {
    EXPECT_EQ(TextForm::fromCurrentLocale()(0.5), "0.5");  // the "C" locale of a fresh process
    char folder[] = "/tmp/tavrix-locale-XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string command =
        std::string("localedef -i de_DE -f UTF-8 ") + folder + "/de_DE.UTF-8 >/dev/null 2>&1";
    const int built = std::system(command.c_str());
    ASSERT_EQ(built, 0) << "localedef could not build de_DE.UTF-8 (the locales package provides it)";
    ::setenv("LOCPATH", folder, 1);
    const bool changed = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    const std::string shown = TextForm::fromCurrentLocale()(7.89);
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(changed);
    EXPECT_EQ(shown, "7,89");
}
