#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "scan/provider_value.h"

namespace tavrix {

// An owned VARIANT, cleared when destroyed or refilled.
class VariantValue {
public:
    VariantValue() { VariantInit(&variant_); }
    VariantValue(const VariantValue&) = delete;
    VariantValue& operator=(const VariantValue&) = delete;
    ~VariantValue() { VariantClear(&variant_); }

    // Clears what it holds and gives the slot to a call that fills it.
    VARIANT* put();
    const VARIANT& get() const { return variant_; }

    // What the value means to the scan: VT_EMPTY and VT_NULL absent; a BSTR text (how WMI hands
    // out 64-bit counts); every integer type a whole number (a VT_UI8 past the int64 range as
    // decimal text); VT_BOOL "True" or "False"; other scalars the text COM converts them to.
    // Arrays and objects throw ManagementServiceError naming the property.
    ProviderValue toProviderValue(std::string_view property) const;

private:
    VARIANT variant_;
};

}  // namespace tavrix
