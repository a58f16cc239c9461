#pragma once

#include <optional>
#include <string>

struct xcb_connection_t;

namespace tavrix::qt {

// Whether the window system Qt is about to use can be reached. Reads the same `-platform`/`-display`
// arguments and environment as Qt, before any Qt object exists.
//
// On X the check's connection stays open until release(), to be called once Qt has its own: an X
// server that resets when its last client leaves (Xvfb and xvfb-run by default) would otherwise reset
// as the check disconnects, and drop Qt's connection if it arrives before the reset is under way.
class DisplayCheck {
public:
    DisplayCheck(int argc, char** argv);
    ~DisplayCheck() { release(); }
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // Why the display cannot be reached, such as `no X display at ":7"`; nullopt when it can, or when
    // the platform is not one this check knows.
    const std::optional<std::string>& problem() const { return problem_; }
    // Closes the check's connection.
    void release();

private:
    std::optional<std::string> problem_;
    xcb_connection_t* connection_ = nullptr;
};

}  // namespace tavrix::qt
