#pragma once

#include <optional>
#include <string>

struct xcb_connection_t;

namespace tavrix::qt {

// Whether a window system Qt is about to try can be reached. Reads the same `-platform`/`-display`
// arguments and environment as Qt and tries the platforms in Qt's order (QT_QPA_PLATFORM's list, or
// Wayland where WAYLAND_DISPLAY or XDG_SESSION_TYPE announces it, then X), before any Qt object exists.
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

    // Why no display can be reached, such as `no X display at ":7"`; nullopt when one can, or when
    // a platform tried before it is not one this check knows.
    const std::optional<std::string>& problem() const { return problem_; }
    // Closes the check's connection.
    void release();

private:
    // Connects to the X display and keeps the connection; why it cannot, or empty.
    std::string connectToX(int argc, char** argv);

    std::optional<std::string> problem_;
    xcb_connection_t* connection_ = nullptr;
};

}  // namespace tavrix::qt
