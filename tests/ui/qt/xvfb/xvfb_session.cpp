#include "tests/ui/qt/xvfb/xvfb_session.h"

#include <poll.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace {

// QProcess wants an application object; benchmarks and tests without one get this one.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "xvfb-session";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace

struct XvfbSession::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t netWmName = 0, utf8String = 0, wmProtocols = 0, wmDeleteWindow = 0, wmCheck = 0;
    ~Connection() {
        if (xcb) xcb_disconnect(xcb);
    }
};

XvfbSession::XvfbSession(WindowManager manager) {
    ensureApplication();
    // Xvfb picks a free display number itself and writes it to the descriptor given.
    xvfb_ = std::make_unique<QProcess>();
    xvfb_->setStandardErrorFile(QProcess::nullDevice());
    xvfb_->start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    if (!xvfb_->waitForStarted(10000)) throw std::runtime_error("cannot start Xvfb");
    QByteArray number;
    while (!number.contains('\n') && xvfb_->waitForReadyRead(20000)) number += xvfb_->readAllStandardOutput();
    if (!number.contains('\n')) throw std::runtime_error("Xvfb reported no display number");
    display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());

    connection_ = std::make_unique<Connection>();
    connection_->xcb = xcb_connect(display_.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection_->xcb)) throw std::runtime_error("cannot connect to Xvfb");
    connection_->root = xcb_setup_roots_iterator(xcb_get_setup(connection_->xcb)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_->xcb, connection_->root, XCB_CW_EVENT_MASK, &mask);
    for (auto [atom, name] : {std::pair{&connection_->netWmName, "_NET_WM_NAME"}, {&connection_->utf8String, "UTF8_STRING"},
                              {&connection_->wmProtocols, "WM_PROTOCOLS"}, {&connection_->wmDeleteWindow, "WM_DELETE_WINDOW"},
                              {&connection_->wmCheck, "_NET_SUPPORTING_WM_CHECK"}})
        *atom = internAtom(connection_->xcb, name);
    xcb_flush(connection_->xcb);
    if (manager == WindowManager::openbox) {
        windowManager_ = std::make_unique<QProcess>();
        windowManagerHome_ = std::make_unique<QTemporaryDir>();
        QProcessEnvironment managerEnvironment = environment();
        managerEnvironment.insert("HOME", windowManagerHome_->path());
        managerEnvironment.insert("XDG_CACHE_HOME", windowManagerHome_->path() + "/.cache");
        managerEnvironment.insert("XDG_CONFIG_HOME", windowManagerHome_->path() + "/.config");
        windowManager_->setProcessEnvironment(managerEnvironment);
        windowManager_->setStandardOutputFile(QProcess::nullDevice());
        windowManager_->setStandardErrorFile(QProcess::nullDevice());
        windowManager_->start("openbox", {"--sm-disable"});
        if (!windowManager_->waitForStarted(10000) || !waitForWindowManager(std::chrono::seconds(20)))
            throw std::runtime_error("cannot start openbox (run scripts/install-deps.sh)");
        skipPendingEvents();
    }
}

// A manager announces itself with _NET_SUPPORTING_WM_CHECK on the root window.
bool XvfbSession::waitForWindowManager(std::chrono::milliseconds timeout) {
    for (const Clock::time_point deadline = Clock::now() + timeout; Clock::now() < deadline;) {
        auto cookie =
            xcb_get_property(connection_->xcb, 0, connection_->root, connection_->wmCheck, XCB_ATOM_WINDOW, 0, 1);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_->xcb, cookie, nullptr);
        const bool announced = reply && xcb_get_property_value_length(reply) == 4;
        std::free(reply);
        if (announced) return true;
        if (windowManager_->state() == QProcess::NotRunning) return false;
        windowManager_->waitForFinished(50);
    }
    return false;
}

XvfbSession::~XvfbSession() {
    auto stop = [](QProcess& process) {
        process.terminate();
        if (!process.waitForFinished(5000)) process.kill();
        process.waitForFinished(5000);
    };
    if (windowManager_) stop(*windowManager_);
    connection_.reset();
    stop(*xvfb_);
}

QProcessEnvironment XvfbSession::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display_);
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("WAYLAND_DISPLAY");
    return environment;
}

QString XvfbSession::title(std::uint32_t window) const {
    auto cookie = xcb_get_property(connection_->xcb, 0, window, connection_->netWmName, connection_->utf8String, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_->xcb, cookie, nullptr);
    if (!reply) return {};
    const QString title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                            xcb_get_property_value_length(reply));
    std::free(reply);
    return title;
}

std::uint32_t XvfbSession::titled(std::uint32_t window, const QString& wanted, int depth) const {
    if (title(window) == wanted) return window;
    if (depth == 0) return 0;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection_->xcb, xcb_query_tree(connection_->xcb, window), nullptr);
    if (!tree) return 0;
    std::uint32_t found = 0;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree) && !found; ++i)
        found = titled(children[i], wanted, depth - 1);
    std::free(tree);
    return found;
}

std::optional<XvfbSession::MappedWindow> XvfbSession::waitForMapped(const std::optional<QString>& wanted,
                                                                    std::optional<QSize> size,
                                                                    std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    xcb_connection_t* xcb = connection_->xcb;
    for (;;) {
        xcb_generic_event_t* event = xcb_poll_for_event(xcb);
        if (!event) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || xcb_connection_has_error(xcb)) return std::nullopt;
            pollfd descriptor{xcb_get_file_descriptor(xcb), POLLIN, 0};
            poll(&descriptor, 1, static_cast<int>(left.count()));
            continue;
        }
        const Clock::time_point at = Clock::now();
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        xcb_window_t window = mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
        std::free(event);
        if (!mapped) continue;
        if (wanted && !(window = titled(window, *wanted, windowManager_ ? 3 : 0))) continue;
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(xcb, xcb_get_geometry(xcb, window), nullptr);
        if (!geometry) continue;
        QRect rect(geometry->x, geometry->y, geometry->width, geometry->height);
        std::free(geometry);
        if (windowManager_) {
            xcb_translate_coordinates_reply_t* onScreen = xcb_translate_coordinates_reply(
                xcb, xcb_translate_coordinates(xcb, window, connection_->root, 0, 0), nullptr);
            if (!onScreen) continue;
            rect.moveTo(onScreen->dst_x, onScreen->dst_y);
            std::free(onScreen);
        }
        if (size && rect.size() != *size) continue;
        return MappedWindow{window, rect, at};
    }
}

void XvfbSession::skipPendingEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_->xcb)) std::free(event);
}

bool XvfbSession::run(const QString& program, const QStringList& arguments, QByteArray* output) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output) *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

void XvfbSession::click(QPoint at) {
    press(at);
    release();
}

void XvfbSession::press(QPoint at) {
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "mousedown", "1"});
}

void XvfbSession::release() { xdotool({"mouseup", "1"}); }

bool XvfbSession::xdotool(const QStringList& arguments) { return run("xdotool", arguments); }

std::uint32_t XvfbSession::focusedWindow() {
    QByteArray output;
    return run("xdotool", {"getwindowfocus", "-f"}, &output) ? output.trimmed().toUInt() : 0;
}

QString XvfbSession::property(std::uint32_t window, const QString& name) {
    QByteArray output;
    run("xprop", {"-id", QString::number(window), name}, &output);
    return QString::fromUtf8(output.trimmed());
}

QImage XvfbSession::screenshot() {
    xcb_connection_t* xcb = connection_->xcb;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(xcb)).data;
    auto cookie = xcb_get_image(xcb, XCB_IMAGE_FORMAT_Z_PIXMAP, connection_->root, 0, 0, screen->width_in_pixels,
                                screen->height_in_pixels, ~0u);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(xcb, cookie, nullptr);
    if (!reply) return {};
    // A 24-bit Xvfb screen comes as 32 bits a pixel, blue first: Qt's RGB32 on a little-endian machine.
    const QImage image(xcb_get_image_data(reply), screen->width_in_pixels, screen->height_in_pixels,
                       QImage::Format_RGB32);
    QImage copy = image.copy();
    std::free(reply);
    return copy;
}

QByteArray XvfbSession::clipboard() {
    QByteArray text;
    return run("xclip", {"-o", "-selection", "clipboard", "-t", "UTF8_STRING"}, &text) ? text : QByteArray();
}

void XvfbSession::setClipboard(const QByteArray& text) {
    QProcess xclip;
    xclip.setProcessEnvironment(environment());
    xclip.start("xclip", {"-i", "-selection", "clipboard"});
    if (!xclip.waitForStarted(10000)) return;
    xclip.write(text);
    xclip.closeWriteChannel();
    xclip.waitForFinished(10000);
}

void XvfbSession::requestClose(std::uint32_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = connection_->wmProtocols;
    message.data.data32[0] = connection_->wmDeleteWindow;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection_->xcb, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(connection_->xcb);
}

void XvfbSession::requestMaximize(std::uint32_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = internAtom(connection_->xcb, "_NET_WM_STATE");
    message.data.data32[0] = 1;  // add
    message.data.data32[1] = internAtom(connection_->xcb, "_NET_WM_STATE_MAXIMIZED_VERT");
    message.data.data32[2] = internAtom(connection_->xcb, "_NET_WM_STATE_MAXIMIZED_HORZ");
    message.data.data32[3] = 1;  // from an application
    xcb_send_event(connection_->xcb, 0, connection_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_->xcb);
}

QSize XvfbSession::size(std::uint32_t window) {
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection_->xcb, xcb_get_geometry(connection_->xcb, window), nullptr);
    if (!geometry) return {};
    const QSize size(geometry->width, geometry->height);
    std::free(geometry);
    return size;
}
