#pragma once

#include <QByteArray>
#include <QImage>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

class QProcess;
class QTemporaryDir;

// A private Xvfb display, watched and driven from outside the program under test: it sees
// top-level windows being mapped, clicks and types with xdotool, asks xdotool which window has the
// input focus and xprop for a window's properties, reads the clipboard with xclip, takes
// screenshots and sends the close request a window manager's close box would send. There is no
// window manager unless one is asked for. Throws std::runtime_error when Xvfb (or the window
// manager) cannot be started.
class XvfbSession {
public:
    using Clock = std::chrono::steady_clock;
    // openbox: the display gets openbox as its window manager, which frames every top-level window.
    enum class WindowManager { none, openbox };

    struct MappedWindow {
        std::uint32_t id;
        QRect geometry;  // the client area on the screen (inside the manager's frame, if any)
        Clock::time_point mappedAt;
    };

    explicit XvfbSession(WindowManager manager = WindowManager::none);
    ~XvfbSession();

    QString display() const { return display_; }
    // The test's environment with DISPLAY set to this display and no QT_QPA_PLATFORM.
    QProcessEnvironment environment() const;

    // The next top-level window mapped with this title (any title if none is given) and, if
    // given, this client size; nullopt when none is mapped within the time. Under a window
    // manager it is the window in the frame, seen when the frame is mapped.
    std::optional<MappedWindow> waitForMapped(const std::optional<QString>& title, std::optional<QSize> size,
                                              std::chrono::milliseconds timeout);
    // Forgets the windows mapped so far, so that the next wait sees only new ones.
    void skipPendingEvents();

    void click(QPoint screenPosition);
    // A click in two halves: the pointer moves and the button goes down, then the button comes up
    // (which is when a push button acts); release() returns once the server has the event.
    void press(QPoint screenPosition);
    void release();
    // Runs xdotool with the arguments ("key", "Tab", ...); false when it fails.
    bool xdotool(const QStringList& arguments);
    // The window that has the input focus, as xdotool reports it (1: PointerRoot, keys go to the
    // window under the pointer); 0 when xdotool fails.
    std::uint32_t focusedWindow();
    // xprop's line for the property ("_NET_WM_NAME(UTF8_STRING) = \"\""), or its "not found" line.
    QString property(std::uint32_t window, const QString& name);
    // The whole screen.
    QImage screenshot();
    // The clipboard's text as UTF-8 bytes; empty when it holds none.
    QByteArray clipboard();
    // Puts the text on the clipboard, held by an xclip that ends when another program takes the
    // clipboard (or with the display).
    void setClipboard(const QByteArray& text);
    void requestClose(std::uint32_t window);
    // Asks the window manager to maximize the window, as a title bar's maximize button or a
    // keyboard shortcut would (_NET_WM_STATE).
    void requestMaximize(std::uint32_t window);
    // The window's size as the server has it; an empty size when the window is gone.
    QSize size(std::uint32_t window);

private:
    struct Connection;
    QString title(std::uint32_t window) const;
    // The window itself or the one inside it (a manager's frame) that has the title; 0: none.
    std::uint32_t titled(std::uint32_t window, const QString& wanted, int depth) const;
    bool waitForWindowManager(std::chrono::milliseconds timeout);
    bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);

    std::unique_ptr<QProcess> xvfb_;
    std::unique_ptr<QTemporaryDir> windowManagerHome_;  // openbox writes its cache and log here, not in HOME
    std::unique_ptr<QProcess> windowManager_;
    QString display_;
    std::unique_ptr<Connection> connection_;
};
