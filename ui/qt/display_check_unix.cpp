#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

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

// The platforms Qt tries, in its order: those named by -platform or QT_QPA_PLATFORM ("name;name",
// each perhaps with ":options"), else Wayland first wherever a Wayland session is announced, then X.
std::vector<std::string> platformsTried(int argc, char** argv) {
    const char* named = argumentValue(argc, argv, "platform");
    if (!named) named = environment("QT_QPA_PLATFORM");
    if (!named) {
        const char* session = environment("XDG_SESSION_TYPE");
        if (environment("WAYLAND_DISPLAY") || (session && std::strcmp(session, "wayland") == 0))
            return {"wayland", "xcb"};
        return {"xcb"};
    }
    std::vector<std::string> platforms;
    for (std::string_view rest = named; !rest.empty();) {
        const std::size_t end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        if (!entry.empty()) platforms.emplace_back(entry.substr(0, entry.find(':')));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return platforms;
}

// Why the Wayland compositor the client library would use cannot be reached; empty when it can.
// Its socket is WAYLAND_DISPLAY (wayland-0 when unset) in XDG_RUNTIME_DIR, or WAYLAND_DISPLAY itself
// when that is a path; WAYLAND_SOCKET hands over a connection already made.
std::string waylandProblem() {
    if (environment("WAYLAND_SOCKET")) return {};
    const char* name = environment("WAYLAND_DISPLAY");
    const std::string display = name ? name : "wayland-0";
    std::string path = display;
    if (display.front() != '/') {
        const char* runtime = environment("XDG_RUNTIME_DIR");
        if (!runtime) return "XDG_RUNTIME_DIR is not set for the Wayland display \"" + display + "\"";
        path = std::string(runtime) + "/" + display;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reached = socket >= 0 && path.size() < sizeof address.sun_path &&
                         (std::memcpy(address.sun_path, path.c_str(), path.size() + 1),
                          ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
    if (socket >= 0) ::close(socket);
    return reached ? std::string() : "no Wayland display at \"" + display + "\"";
}

}  // namespace

DisplayCheck::DisplayCheck(int argc, char** argv) {
    const std::vector<std::string> platforms = platformsTried(argc, argv);
    const bool named = argumentValue(argc, argv, "platform") || environment("QT_QPA_PLATFORM");
    if (!named && !environment("DISPLAY") && !environment("WAYLAND_DISPLAY") &&
        platforms == std::vector<std::string>{"xcb"} && !argumentValue(argc, argv, "display")) {
        problem_ = "neither WAYLAND_DISPLAY nor DISPLAY is set";
        return;
    }
    std::string problems;
    for (const std::string& platform : platforms) {
        std::string problem;
        if (platform == "xcb") {
            problem = connectToX(argc, argv);
        } else if (platform.starts_with("wayland")) {
            problem = waylandProblem();
        } else {
            return;  // a platform this check does not know: Qt decides
        }
        if (problem.empty()) return;
        problems += (problems.empty() ? "" : "; ") + problem;
    }
    if (!problems.empty()) problem_ = problems;
}

std::string DisplayCheck::connectToX(int argc, char** argv) {
    const char* display = argumentValue(argc, argv, "display");
    if (!display) display = environment("DISPLAY");
    if (!display) return "DISPLAY is not set";
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
        return std::string("no X display at \"") + display + "\"";
    }
    const int screens = xcb_setup_roots_length(xcb_get_setup(connection));
    if (screen < 0 || screen >= screens) {
        xcb_disconnect(connection);
        return std::string("no screen ") + std::to_string(screen) + " at \"" + display + "\"";
    }
    connection_ = connection;
    return {};
}

void DisplayCheck::release() {
    if (connection_) xcb_disconnect(connection_);
    connection_ = nullptr;
}

}  // namespace tavrix::qt
