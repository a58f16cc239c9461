#include "scan/text_form.h"

#include <charconv>
#include <clocale>
#include <cmath>

namespace tavrix {

TextForm TextForm::fromCurrentLocale() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->decimal_point == nullptr || *conventions->decimal_point == '\0') {
        return TextForm(".");
    }
    return TextForm(conventions->decimal_point);
}

std::string TextForm::operator()(const ProviderValue& value) const {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<std::int64_t>(&value)) return std::to_string(*number);
    return {};
}

std::string TextForm::operator()(long long number) const { return std::to_string(number); }

std::string TextForm::operator()(double number) const {
    if (number == 0) return "0";  // also turns -0 into 0
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 15);
    if (error != std::errc()) return {};
    std::string result;
    for (const char* p = buffer; p != end; ++p) {
        if (*p == '.') {
            result += decimalSeparator_;
        } else if (*p == 'e') {
            result += 'E';
        } else {
            result += *p;
        }
    }
    return result;
}

double roundToHundredths(double value) {
    const double scaled = value * 100;
    double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2) != 0)) whole += 1;
    return whole / 100;
}

}  // namespace tavrix
