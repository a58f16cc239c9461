#include "text_form.h"

#include <gtest/gtest.h>

#include <clocale>

using tavrix::Absent;
using tavrix::ProviderValue;
using tavrix::roundToHundredths;
using tavrix::TextForm;

TEST(TextForm, WritesProviderValues) {
    const TextForm text;
    EXPECT_EQ(text(ProviderValue(Absent{})), "");
    EXPECT_EQ(text(ProviderValue(std::string("  Acme  "))), "  Acme  ");
    EXPECT_EQ(text(ProviderValue(std::int64_t{1333})), "1333");
    EXPECT_EQ(text(ProviderValue(std::int64_t{-7})), "-7");
}

TEST(TextForm, WritesFloatsInGeneralFormWithoutTrailingZeros) {
    const TextForm text;
    EXPECT_EQ(text(4096.0), "4096");
    EXPECT_EQ(text(7.89), "7.89");
    EXPECT_EQ(text(0.5), "0.5");
    EXPECT_EQ(text(0.99 * 1024), "1013.76");
    EXPECT_EQ(text(1536.0), "1536");
    EXPECT_EQ(text(0.0), "0");
    EXPECT_EQ(text(-0.0), "0");
    EXPECT_EQ(text(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(text(123456789012345.0), "123456789012345");
    EXPECT_EQ(text(1e15), "1E+15");
}

TEST(TextForm, UsesTheInjectedDecimalSeparator) {
    EXPECT_EQ(TextForm(",")(7.89), "7,89");
    EXPECT_EQ(TextForm(",")(4096.0), "4096");
    EXPECT_EQ(TextForm("\xD9\xAB")(0.5), "0\xD9\xAB" "5");
}

TEST(TextForm, RoundsHalfwayHundredthsToEven) {
    EXPECT_DOUBLE_EQ(roundToHundredths(0.125), 0.12);
    EXPECT_DOUBLE_EQ(roundToHundredths(0.375), 0.38);
    EXPECT_DOUBLE_EQ(roundToHundredths(0.625), 0.62);
    EXPECT_DOUBLE_EQ(roundToHundredths(0.875), 0.88);
    EXPECT_DOUBLE_EQ(roundToHundredths(7.8896484375), 7.89);
    EXPECT_DOUBLE_EQ(roundToHundredths(0.990234375), 0.99);
    EXPECT_DOUBLE_EQ(roundToHundredths(8.0), 8.0);
    EXPECT_DOUBLE_EQ(roundToHundredths(0.0), 0.0);
}

TEST(TextForm, TakesTheSeparatorFromTheCurrentLocale) {
    EXPECT_EQ(TextForm::fromCurrentLocale()(0.5), "0.5");  // the "C" locale of a fresh process
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) == nullptr) continue;
        const std::string shown = TextForm::fromCurrentLocale()(7.89);
        std::setlocale(LC_NUMERIC, "C");
        EXPECT_EQ(shown, "7,89");
        return;
    }
    GTEST_SKIP() << "no locale with a decimal comma is installed";
}
