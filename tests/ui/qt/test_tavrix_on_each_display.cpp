// The real program on each kind of display a Linux desktop gives it, from one table of cases: an
// X server (Xvfb with openbox) and a Wayland compositor (weston, drawing into an Xvfb for its seat),
// each named to the program by its own variable alone (DISPLAY or WAYLAND_DISPLAY). Driven from
// outside with xdotool's keys; on Wayland the program's windows are seen in what it asks of the
// compositor (WAYLAND_DEBUG=client), as nothing outside the compositor can see them.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>

#include <memory>
#include <string>

#include "tests/ui/qt/xvfb/tavrix_process_test.h"
#include "tests/ui/qt/xvfb/weston_session.h"

namespace {

using namespace tavrix_under_xvfb;

constexpr QSize splashSize(246, 82);
// On Wayland each window with a title bar draws its own: the classic style's 4-pixel border and
// 18-pixel title bar around the client area.
constexpr QSize ownFrame(8, 26);

// One display server, as the tests drive it.
class Display {
public:
    virtual ~Display() = default;
    virtual QProcessEnvironment environment() const = 0;
    // Waits for a new window of the program whose client area has the size, or any window when
    // none is given, and remembers it; its size (on X the client area's, on Wayland the window
    // geometry's, frame included), or nullopt when none came within the time.
    virtual std::optional<QSize> waitForWindow(QProcess& tavrix, std::optional<QSize> client,
                                               std::chrono::milliseconds timeout) = 0;
    virtual void keys(const QStringList& names) = 0;
    virtual QByteArray clipboard() = 0;
    // Asks for the window last seen to be maximized, as the window system's own controls would;
    // whether it keeps the client size afterwards.
    virtual bool maximizeKeepsSize(QProcess& tavrix, QSize client) = 0;
    // The screen the windows lie on, in the server's pixels.
    virtual QSize screen() const = 0;
};

class XDisplay : public Display {
public:
    QProcessEnvironment environment() const override { return x_.environment(); }
    std::optional<QSize> waitForWindow(QProcess&, std::optional<QSize> client,
                                       std::chrono::milliseconds timeout) override {
        const auto window = x_.waitForMapped(title, client, timeout);
        if (!window) return std::nullopt;
        last_ = window->id;
        x_.xdotool({"mousemove", "1279", "1023"});
        return window->geometry.size();
    }
    void keys(const QStringList& names) override { x_.xdotool(QStringList{"key", "--delay", "80"} + names); }
    QByteArray clipboard() override { return x_.clipboard(); }
    bool maximizeKeepsSize(QProcess&, QSize client) override {
        x_.requestMaximize(last_);
        std::this_thread::sleep_for(1s);
        return x_.size(last_) == client;
    }
    QSize screen() const override { return {1280, 1024}; }

private:
    XvfbSession x_{XvfbSession::WindowManager::openbox};
    std::uint32_t last_ = 0;
};

class WaylandDisplay : public Display {
public:
    QProcessEnvironment environment() const override {
        QProcessEnvironment environment = weston_.environment();
        environment.insert("WAYLAND_DEBUG", "client");
        return environment;
    }
    std::optional<QSize> waitForWindow(QProcess& tavrix, std::optional<QSize> client,
                                       std::chrono::milliseconds timeout) override {
        const bool framed = client && *client != splashSize;
        const std::optional<QSize> wanted =
            client ? std::optional(framed ? *client + ownFrame : *client) : std::nullopt;
        std::optional<QSize> seen;
        eventually([&] { return (seen = nextGeometry(tavrix, wanted)).has_value(); }, timeout);
        return seen;
    }
    void keys(const QStringList& names) override { weston_.x().xdotool(QStringList{"key", "--delay", "80"} + names); }
    QByteArray clipboard() override { return weston_.clipboard(); }
    // weston's shortcut for it; the window must then first be as large as weston says, and comes back.
    bool maximizeKeepsSize(QProcess& tavrix, QSize client) override {
        keys({"super+shift+m"});
        const bool restored = eventually([&] { return requested(tavrix, "unset_maximized()"); }, 10s) &&
                              waitForWindow(tavrix, client, 10s).has_value();
        keys({"shift+Tab", "Tab"});  // the window draws again
        std::this_thread::sleep_for(1s);
        return restored && tavrix.state() == QProcess::Running;
    }
    QSize screen() const override { return {1280, 1024}; }

private:
    // The program's requests since the last call that found what it looked for.
    QString newRequests(QProcess& tavrix) {
        tavrix.setReadChannel(QProcess::StandardError);
        tavrix.waitForReadyRead(20);
        log_ += QString::fromUtf8(tavrix.readAllStandardError());
        return log_.mid(seen_);
    }
    bool requested(QProcess& tavrix, const QString& request) {
        const QString requests = newRequests(tavrix);
        const qsizetype at = requests.indexOf(request);
        if (at < 0) return false;
        seen_ += at + request.size();
        return true;
    }
    // The next window geometry the program sets, of this size if one is given.
    std::optional<QSize> nextGeometry(QProcess& tavrix, std::optional<QSize> size) {
        static const QRegularExpression geometry(QStringLiteral(R"(set_window_geometry\(0, 0, (\d+), (\d+)\))"));
        const QString requests = newRequests(tavrix);
        for (auto match = geometry.globalMatch(requests); match.hasNext();) {
            const auto found = match.next();
            const QSize set(found.captured(1).toInt(), found.captured(2).toInt());
            if (size && set != *size) continue;
            seen_ += found.capturedEnd();
            return set;
        }
        return std::nullopt;
    }

    WestonSession weston_;
    QString log_;
    qsizetype seen_ = 0;
};

enum class Server { x11, wayland };

class TavrixOnEachDisplay : public ::testing::TestWithParam<Server> {
protected:
    std::unique_ptr<Display> display = GetParam() == Server::x11
                                           ? std::unique_ptr<Display>(std::make_unique<XDisplay>())
                                           : std::make_unique<WaylandDisplay>();
    QProcess tavrix;

    void start(const QProcessEnvironment& extra = {}) {
        QProcessEnvironment environment = display->environment();
        for (const QString& name : extra.keys()) environment.insert(name, extra.value(name));
        tavrix.setProcessEnvironment(environment);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), {"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine"});
        ASSERT_TRUE(tavrix.waitForStarted(10000));
    }
    // OK by the keyboard (Tab to Cancel, Tab to OK, Enter), through the splash to the main window.
    std::optional<QSize> okToTheMainWindow(std::optional<QSize> form1 = form1Size) {
        std::this_thread::sleep_for(500ms);
        display->keys({"Tab", "Tab", "Return"});
        return display->waitForWindow(tavrix, form1, 60s);
    }
    void TearDown() override {
        if (tavrix.state() == QProcess::NotRunning) return;
        tavrix.kill();
        tavrix.waitForFinished();
    }
};

// With only its own display variable, the program starts; OK leads to the main window, whose copy
// button (Tab to it, Enter) puts tavrix-report's report on the clipboard, CR LF kept.
TEST_P(TavrixOnEachDisplay, StartsWithItsVariableAloneAndCopiesTheReport) {
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), {"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine"});
    ASSERT_TRUE(report.waitForFinished(60000));
    const QByteArray expected = report.readAllStandardOutput();
    ASSERT_TRUE(expected.contains("\r\n"));
    start();
    ASSERT_TRUE(display->waitForWindow(tavrix, dialogSize, 60s)) << "no disclaimer appeared";
    ASSERT_TRUE(okToTheMainWindow()) << "no main window appeared";
    std::this_thread::sleep_for(1s);
    display->keys({"Tab", "Return"});
    EXPECT_TRUE(eventually([&] { return display->clipboard() == expected; }, 20s));
    EXPECT_EQ(display->clipboard().toStdString(), expected.toStdString());
}

// A maximize request on the disclaimer and on the main window: each keeps its size, and the
// program goes on (on Wayland the window follows for a moment and asks to be restored).
TEST_P(TavrixOnEachDisplay, AMaximizeRequestLeavesEachWindowItsSize) {
    start();
    ASSERT_TRUE(display->waitForWindow(tavrix, dialogSize, 60s)) << "no disclaimer appeared";
    EXPECT_TRUE(display->maximizeKeepsSize(tavrix, dialogSize)) << "the disclaimer";
    ASSERT_TRUE(okToTheMainWindow()) << "no main window appeared";
    EXPECT_TRUE(display->maximizeKeepsSize(tavrix, form1Size)) << "the main window";
    EXPECT_EQ(tavrix.state(), QProcess::Running);
}

// At 150 % the main window, frame included, is laid out small enough to fit the screen.
TEST_P(TavrixOnEachDisplay, TheMainWindowFitsTheScreenAt150Percent) {
    QProcessEnvironment scale;
    scale.insert("QT_SCALE_FACTOR", "1.5");
    start(scale);
    ASSERT_TRUE(display->waitForWindow(tavrix, std::nullopt, 60s)) << "no disclaimer appeared";
    std::optional<QSize> form1;
    std::this_thread::sleep_for(500ms);
    display->keys({"Tab", "Tab", "Return"});
    // The splash comes first; the main window is the first wider than the disclaimer (615 pixels).
    for (const auto deadline = XvfbSession::Clock::now() + 60s;
         !(form1 && form1->width() > 800) && XvfbSession::Clock::now() < deadline;)
        form1 = display->waitForWindow(tavrix, std::nullopt, 5s);
    ASSERT_TRUE(form1 && form1->width() > 800) << "no main window appeared";
    EXPECT_LE(form1->width(), display->screen().width());
    EXPECT_LE(form1->height(), display->screen().height());
    EXPECT_LT(form1->height(), form1Size.height() * 3 / 2) << "not laid out smaller";
}

INSTANTIATE_TEST_SUITE_P(Servers, TavrixOnEachDisplay, ::testing::Values(Server::x11, Server::wayland),
                         [](const auto& info) { return info.param == Server::x11 ? "Xvfb" : "weston"; });

}  // namespace
