#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "ui/qt/display_check.h"

namespace tavrix::qt {

namespace {

// The value of a Qt argument given as "-name value" or "--name value"; nullptr when absent.
const char* argumentValue(int argc, char** argv, std::string_view name) {
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--")) argument.remove_prefix(1);
        if (argument.size() == name.size() + 1 && argument[0] == '-' && argument.substr(1) == name) return argv[i + 1];
    }
    return nullptr;
}

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// Qt tries the first of a "name;name" list (and the first of "name:options") first.
std::string_view firstPlatform(std::string_view platforms) {
    return platforms.substr(0, platforms.find_first_of(";:"));
}

bool usesXcb(int argc, char** argv) {
    const char* platform = argumentValue(argc, argv, "platform");
    if (!platform) platform = environment("QT_QPA_PLATFORM");
    if (platform) return firstPlatform(platform) == "xcb";
    const char* session = environment("XDG_SESSION_TYPE");
    return !(session && std::strcmp(session, "wayland") == 0 && environment("WAYLAND_DISPLAY"));
}

}  // namespace

DisplayCheck::DisplayCheck(int argc, char** argv) {
    if (!usesXcb(argc, argv)) return;
    const char* display = argumentValue(argc, argv, "display");
    if (!display) display = environment("DISPLAY");
    if (!display) {
        problem_ = "DISPLAY is not set";
        return;
    }
    // A resetting server drops the connections it accepted just before the reset that another
    // client's leaving started (a killed instance of this program, say); one made a moment later
    // waits until the reset is over.
    int screen = 0;
    xcb_connection_t* connection = nullptr;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (connection) {
            xcb_disconnect(connection);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        connection = xcb_connect(display, &screen);
        if (xcb_connection_has_error(connection) == 0) break;
    }
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        problem_ = std::string("no X display at \"") + display + "\"";
        return;
    }
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    if (screen < 0 || screen >= screens) {
        xcb_disconnect(connection);
        problem_ = std::string("no screen ") + std::to_string(screen) + " at \"" + display + "\"";
        return;
    }
    connection_ = connection;
}

void DisplayCheck::release() {
    if (connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
}

}  // namespace tavrix::qt
