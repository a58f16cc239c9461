#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "scan/scan_error.h"

namespace tavrix {

// A failure of this computer's management service (WMI): a call that failed or an answer the
// scan cannot use. The message is the technical detail, naming the call.
class ManagementServiceError : public ScanError {
public:
    using ScanError::ScanError;
};

// An HRESULT as "0x80041002".
std::string hresultText(HRESULT result);

// Throws ManagementServiceError "CALL failed with HRESULT 0x...." when result is a failure;
// returns otherwise.
void checkResult(HRESULT result, std::string_view call);

}  // namespace tavrix
