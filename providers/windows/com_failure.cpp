#include "providers/windows/com_failure.h"

#include <cstdio>

namespace tavrix {

std::string hresultText(HRESULT result) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(result));
    return text;
}

void checkResult(HRESULT result, std::string_view call) {
    if (FAILED(result)) throw ManagementServiceError(std::string(call) + " failed with HRESULT " + hresultText(result));
}

}  // namespace tavrix
