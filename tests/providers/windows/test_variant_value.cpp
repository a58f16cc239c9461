#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "providers/windows/variant_value.h"
#include "scan/scan_error.h"

namespace {

using tavrix::Absent;
using tavrix::ProviderValue;
using tavrix::VariantValue;

template <typename Fill>
ProviderValue converted(VARTYPE type, Fill fill) {
    VariantValue value;
    VARIANT* v = value.put();
    V_VT(v) = type;
    fill(*v);
    return value.toProviderValue("Capacity");
}

TEST(VariantValue, EmptyAndNullAreAbsent) {
    EXPECT_EQ(converted(VT_EMPTY, [](VARIANT&) {}), ProviderValue(Absent{}));
    EXPECT_EQ(converted(VT_NULL, [](VARIANT&) {}), ProviderValue(Absent{}));
}

TEST(VariantValue, TextStaysTextEvenWhenItHoldsDigits) {
    EXPECT_EQ(converted(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"25276178432"); }),
              ProviderValue(std::string("25276178432")));
    EXPECT_EQ(converted(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L" Kingston "); }),
              ProviderValue(std::string(" Kingston ")));
    EXPECT_EQ(converted(VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L""); }),
              ProviderValue(std::string()));
}

TEST(VariantValue, EveryIntegerTypeGivesItsWholeNumber) {
    auto whole = [](std::int64_t n) { return ProviderValue(n); };
    EXPECT_EQ(converted(VT_I1, [](VARIANT& v) { V_I1(&v) = -5; }), whole(-5));
    EXPECT_EQ(converted(VT_I2, [](VARIANT& v) { V_I2(&v) = -300; }), whole(-300));
    EXPECT_EQ(converted(VT_I4, [](VARIANT& v) { V_I4(&v) = 2596; }), whole(2596));
    EXPECT_EQ(converted(VT_INT, [](VARIANT& v) { V_INT(&v) = -1; }), whole(-1));
    EXPECT_EQ(converted(VT_I8, [](VARIANT& v) { V_I8(&v) = -8589934592LL; }), whole(-8589934592LL));
    EXPECT_EQ(converted(VT_UI1, [](VARIANT& v) { V_UI1(&v) = 255; }), whole(255));
    EXPECT_EQ(converted(VT_UI2, [](VARIANT& v) { V_UI2(&v) = 65535; }), whole(65535));
    EXPECT_EQ(converted(VT_UI4, [](VARIANT& v) { V_UI4(&v) = 4294967295U; }), whole(4294967295LL));
    EXPECT_EQ(converted(VT_UINT, [](VARIANT& v) { V_UINT(&v) = 3000000000U; }), whole(3000000000LL));
    EXPECT_EQ(converted(VT_UI8, [](VARIANT& v) { V_UI8(&v) = 8589934592ULL; }), whole(8589934592LL));
    EXPECT_EQ(converted(VT_UI8, [](VARIANT& v) { V_UI8(&v) = std::numeric_limits<ULONGLONG>::max(); }),
              ProviderValue(std::string("18446744073709551615")));
}

TEST(VariantValue, OtherScalarsBecomeText) {
    EXPECT_EQ(converted(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_TRUE; }), ProviderValue(std::string("True")));
    EXPECT_EQ(converted(VT_BOOL, [](VARIANT& v) { V_BOOL(&v) = VARIANT_FALSE; }), ProviderValue(std::string("False")));
    EXPECT_EQ(converted(VT_R8, [](VARIANT& v) { V_R8(&v) = 2.5; }), ProviderValue(std::string("2.5")));
}

TEST(VariantValue, ArraysAndObjectsFailNamingThePropertyAndType) {
    try {
        converted(VT_ARRAY | VT_I4, [](VARIANT& v) { V_ARRAY(&v) = SafeArrayCreateVector(VT_I4, 0, 2); });
        FAIL() << "an array was accepted";
    } catch (const tavrix::ScanError& failure) {
        EXPECT_STREQ(failure.what(), "property \"Capacity\" of type 0x2003 is neither a text nor a number");
    }
    EXPECT_THROW(converted(VT_UNKNOWN, [](VARIANT& v) { V_UNKNOWN(&v) = nullptr; }), tavrix::ScanError);
}

}  // namespace
