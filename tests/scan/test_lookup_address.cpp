#include "scan/lookup_address.h"

#include <gtest/gtest.h>

namespace {

using namespace tavrix;

// Characters that would change the query are encoded; blanks, commas, parentheses and other printables kept.
TEST(LookupAddress, EncodesOnlyCharactersThatWouldChangeTheQuery) {
    const std::pair<const char*, const char*> cases[] = {
        {"AT&T", "AT%26T"},
        {"a=b#c+d%e", "a%3Db%23c%2Bd%25e"},
        {"tab\there\x7F", "tab%09here%7F"},
        {"Caf\xC3\xA9", "Caf%C3%A9"},
        {" 4  (Currently Memory in 2 Slots),", " 4  (Currently Memory in 2 Slots),"},
        {"Intel(R) Core(TM) i5 @ 3.30GHz /?:;'\"<>", "Intel(R) Core(TM) i5 @ 3.30GHz /?:;'\"<>"},
    };
    for (const auto& [value, encoded] : cases) EXPECT_EQ(encodeAddressValue(value), encoded);
}

}  // namespace
