#pragma once

#include <string>

#include "scan/provider_value.h"

namespace tavrix {

// The one rule by which scan values become text: texts unchanged, whole numbers in decimal
// digits, floating-point numbers with at most 15 significant digits and the user's decimal
// separator, absent as empty text.
class TextForm {
public:
    explicit TextForm(std::string decimalSeparator = ".") : decimalSeparator_(std::move(decimalSeparator)) {}
    // The decimal separator of the C library's current locale (after setlocale(LC_ALL, "")).
    static TextForm fromCurrentLocale();

    std::string operator()(const ProviderValue& value) const;
    std::string operator()(double number) const;
    std::string operator()(long long number) const;

private:
    std::string decimalSeparator_;
};

// Rounds to 2 decimal places, a value exactly halfway going to the even hundredth.
double roundToHundredths(double value);

}  // namespace tavrix
