#include "providers/windows/com_apartment.h"

#include <objbase.h>

#include "providers/windows/com_failure.h"

namespace tavrix {

ComApartment::ComApartment() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (result == RPC_E_CHANGED_MODE) return;
    checkResult(result, "CoInitializeEx");
    initialised_ = true;
}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

}  // namespace tavrix
