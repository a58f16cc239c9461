#include "providers/windows/variant_value.h"

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "providers/windows/com_failure.h"
#include "providers/windows/com_text.h"
#include "scan/scan_error.h"

namespace tavrix {

namespace {

std::string typeText(VARTYPE type) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(type));
    return text;
}

}  // namespace

VARIANT* VariantValue::put() {
    VariantClear(&variant_);
    return &variant_;
}

ProviderValue VariantValue::toProviderValue(std::string_view property) const {
    const VARIANT& v = variant_;
    switch (V_VT(&v)) {
    case VT_EMPTY:
    case VT_NULL: return Absent{};
    case VT_BSTR: return utf8Of(V_BSTR(&v));
    case VT_I1: return std::int64_t{V_I1(&v)};
    case VT_I2: return std::int64_t{V_I2(&v)};
    case VT_I4: return std::int64_t{V_I4(&v)};
    case VT_INT: return std::int64_t{V_INT(&v)};
    case VT_I8: return std::int64_t{V_I8(&v)};
    case VT_UI1: return std::int64_t{V_UI1(&v)};
    case VT_UI2: return std::int64_t{V_UI2(&v)};
    case VT_UI4: return std::int64_t{V_UI4(&v)};
    case VT_UINT: return std::int64_t{V_UINT(&v)};
    case VT_UI8:
        if (V_UI8(&v) > static_cast<ULONGLONG>(std::numeric_limits<std::int64_t>::max())) {
            return std::to_string(V_UI8(&v));
        }
        return static_cast<std::int64_t>(V_UI8(&v));
    case VT_BOOL: return std::string(V_BOOL(&v) != VARIANT_FALSE ? "True" : "False");
    default: break;
    }
    const VARTYPE type = V_VT(&v);
    const std::string where = "property \"" + std::string(property) + "\" of type " + typeText(type);
    if ((type & VT_ARRAY) != 0 || type == VT_DISPATCH || type == VT_UNKNOWN) {
        throw ManagementServiceError(where + " is neither a text nor a number");
    }
    VariantValue text;
    checkResult(VariantChangeTypeEx(text.put(), const_cast<VARIANT*>(&v), LOCALE_USER_DEFAULT, 0, VT_BSTR),
                "VariantChangeTypeEx to text of " + where);
    return utf8Of(V_BSTR(&text.get()));
}

}  // namespace tavrix
