#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tavrix {

// An HRESULT as "0x80041002".
std::string hresultText(HRESULT result);

// Throws ScanError "CALL failed with HRESULT 0x...." when result is a failure; returns otherwise.
void checkResult(HRESULT result, std::string_view call);

}  // namespace tavrix
