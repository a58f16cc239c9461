#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/qt/window_hints.h"

namespace tavrix::qt {

namespace {

// _MOTIF_WM_HINTS: flags, functions, decorations, input mode, status.
enum : std::uint32_t { hintsFunctions = 1, hintsDecorations = 2 };
enum : std::uint32_t { functionMove = 4, functionMinimize = 8, functionMaximize = 16, functionClose = 32 };
enum : std::uint32_t {
    decorationBorder = 2,
    decorationTitle = 8,
    decorationMenu = 16,
    decorationMinimize = 32,
    decorationMaximize = 64
};

std::array<std::uint32_t, 5> motifHints(const forms::WindowDescription& description) {
    std::uint32_t functions = 0, decorations = 0;
    if (description.titleBar) {
        functions = functionMove;
        decorations = decorationBorder | decorationTitle;
        if (description.systemMenu) functions |= functionClose, decorations |= decorationMenu;
        if (description.minimizeButton) functions |= functionMinimize, decorations |= decorationMinimize;
        if (description.maximizeButton) functions |= functionMaximize, decorations |= decorationMaximize;
    }
    return {hintsFunctions | hintsDecorations, functions, decorations, 0, 0};
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    auto cookie = xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// The atoms in the window's _NET_WM_STATE, with the one given added once.
std::vector<xcb_atom_t> statesWith(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t netWmState,
                                   xcb_atom_t added) {
    std::vector<xcb_atom_t> states;
    auto cookie = xcb_get_property(connection, 0, window, netWmState, XCB_ATOM_ATOM, 0, 1024);
    if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
        if (reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            states.assign(values, values + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
    }
    if (std::find(states.begin(), states.end(), added) == states.end()) states.push_back(added);
    return states;
}

}  // namespace

void applyWindowManagerHints(QWidget& window, const forms::WindowDescription& description) {
    if (!window.isWindow() || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    const auto id = static_cast<xcb_window_t>(window.winId());

    if (!*description.title) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom(connection, "_NET_WM_NAME"),
                            atom(connection, "UTF8_STRING"), 8, 0, "");
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
    }
    if (!description.inTaskbar) {
        // Qt keeps the states it finds on an unmapped window when it maps it.
        const xcb_atom_t netWmState = atom(connection, "_NET_WM_STATE");
        const std::vector<xcb_atom_t> states =
            statesWith(connection, id, netWmState, atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"));
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netWmState, XCB_ATOM_ATOM, 32,
                            static_cast<std::uint32_t>(states.size()), states.data());
    }
    const xcb_atom_t motif = atom(connection, "_MOTIF_WM_HINTS");
    const std::array<std::uint32_t, 5> hints = motifHints(description);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, hints.size(), hints.data());
    xcb_flush(connection);
}

}  // namespace tavrix::qt
