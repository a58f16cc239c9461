#pragma once

#include <functional>

class QEvent;
class QObject;

namespace tavrix::qt {

// Whether the event is Qt's Wayland platform applying what the compositor configured for a
// window: its size and its maximized, full-screen or activated state.
bool appliesWindowConfiguration(QObject* receiver, QEvent* event);

// Delivers a window configuration so that it cannot break the protocol on a fixed-size window. A
// compositor may still ask one to be maximized (weston's Super+Shift+M) or full screen, and a
// maximized window must then be exactly the size it is given, which a window Qt keeps at a fixed
// size is not. So the configuration is applied with the upper size limit of every shown fixed-size
// window lifted; a window that comes out larger keeps that size for the moment (its controls stay
// where they are) and asks at once to be restored, which brings it back to its own size and limit.
bool deliverKeepingFixedSizes(const std::function<bool()>& deliver);

}  // namespace tavrix::qt
