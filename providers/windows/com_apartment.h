#pragma once

namespace tavrix {

// COM initialised for the calling thread while this object lives. A thread that already runs
// COM in the other threading model (a window toolkit that set up OLE first) is used as it is.
// Throws ScanError when COM cannot be initialised. Destroy it on the thread that made it.
class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

private:
    bool initialised_ = false;  // true when this object owes the thread a CoUninitialize
};

}  // namespace tavrix
