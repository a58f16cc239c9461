#pragma once

#include <functional>

namespace tavrix::behaviour {

// What the scanning splash does with its timer and its keys, whatever draws it: a tick of Timer1 is
// handed on only once the window has been painted (so its texts stand while a scan blocks) and
// never while the last one is still running; every typed key is handed on.
class frmSplash {
public:
    frmSplash(std::function<void()> tick, std::function<void()> key)
        : tick_(std::move(tick)), key_(std::move(key)) {}

    void Form_Paint() { painted_ = true; }
    bool painted() const { return painted_; }
    void Timer1_Timer();
    void Form_KeyPress() {
        if (key_) key_();
    }

private:
    std::function<void()> tick_;
    std::function<void()> key_;
    bool painted_ = false;
    bool ticking_ = false;
};

}  // namespace tavrix::behaviour
