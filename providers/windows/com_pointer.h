#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace tavrix {

// Owns one reference to a COM object and releases it when destroyed or reset; empty holds none.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ComPointer(ComPointer&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPointer& operator=(ComPointer&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ~ComPointer() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }

    // Releases the reference held and gives the slot to a call that hands out a new one.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    void reset() {
        if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
    }

    // Asks the object for another of its interfaces; target is empty unless the result succeeds.
    template <typename Other>
    HRESULT queryInterface(ComPointer<Other>& target) const {
        return pointer_->QueryInterface(__uuidof(Other), target.putVoid());
    }

private:
    Interface* pointer_ = nullptr;
};

}  // namespace tavrix
