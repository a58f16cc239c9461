// The real program on a display of its own, driven from outside as a user would: the disclaimer,
// OK, the main window, the copy button, the close box.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "display_check.h"
#include "form1_form.h"
#include "twips.h"
#include "xvfb/xvfb_session.h"

namespace {

using namespace std::chrono_literals;

const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);
constexpr QSize form1Size(785, 706);
// The disclaimer's OK button, from the client area's corner: Frame1 at 0,0, OK at 1920,4320, 1215 by 375 twips.
constexpr QPoint dialogOkCentre(128 + 40, 288 + 12);

// The centre of a main window control, from the client area's corner, by the window's layout.
QPoint form1ControlCentre(const char* name) {
    QPoint corner;
    QSize size;
    const char* wanted = name;
    bool first = true;
    while (wanted && *wanted) {
        const char* container = nullptr;
        for (const auto& control : tavrix::forms::form1Form().controls) {
            if (std::strcmp(control.name, wanted) != 0) continue;
            const QRect place = tavrix::ui::toPixels(control.place);
            corner += place.topLeft();
            if (first) size = place.size();
            container = control.container;
        }
        if (!container) return {};
        first = false;
        wanted = container;
    }
    return corner + QPoint(size.width() / 2, size.height() / 2);
}

QByteArray reportOfThisComputer(const QStringList& source = {}) {
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), source);
    report.waitForFinished(60000);
    EXPECT_EQ(report.exitCode(), 0) << report.readAllStandardError().toStdString();
    return report.readAllStandardOutput();
}

class TavrixUnderXvfb : public ::testing::Test {
protected:
    XvfbSession x;
    QProcess tavrix;

    void start(const QStringList& arguments = {}, QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        tavrix.setProcessEnvironment(x.environment());
        tavrix.setProcessChannelMode(channels);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), arguments);
        ASSERT_TRUE(tavrix.waitForStarted(10000));
    }

    int exitStatus(std::chrono::milliseconds timeout) {
        if (!tavrix.waitForFinished(static_cast<int>(timeout.count()))) return -1;
        return tavrix.exitStatus() == QProcess::NormalExit ? tavrix.exitCode() : -2;
    }

    void TearDown() override {
        if (tavrix.state() != QProcess::NotRunning) {
            tavrix.kill();
            tavrix.waitForFinished();
        }
    }
};

TEST_F(TavrixUnderXvfb, OkBringsTheMainWindowItsCopyButtonFillsTheClipboardAndClosingEndsWithStatus0) {
    const QByteArray expected = reportOfThisComputer();
    ASSERT_FALSE(expected.isEmpty());
    start();
    const auto dialog = x.waitForMapped(title, std::nullopt, 30s);
    ASSERT_TRUE(dialog) << "no disclaimer appeared";
    EXPECT_EQ(dialog->geometry.size(), dialogSize);

    x.click(dialog->geometry.topLeft() + dialogOkCentre);
    const auto form1 = x.waitForMapped(title, form1Size, 60s);
    ASSERT_TRUE(form1) << "no main window of 785 by 706 appeared";

    x.click(form1->geometry.topLeft() + form1ControlCentre("clipboardCmd"));
    QByteArray clipboard;
    for (auto deadline = XvfbSession::Clock::now() + 20s; XvfbSession::Clock::now() < deadline;) {
        clipboard = x.clipboard();
        if (clipboard == expected) break;
    }
    EXPECT_EQ(clipboard.toStdString(), expected.toStdString());
    EXPECT_TRUE(clipboard.contains("\r\n"));

    x.requestClose(form1->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

TEST_F(TavrixUnderXvfb, CancelAndTheDisclaimersCloseBoxBothEndWithStatus0) {
    start();
    auto dialog = x.waitForMapped(title, dialogSize, 30s);
    ASSERT_TRUE(dialog);
    x.click(dialog->geometry.topLeft() + dialogOkCentre + QPoint(88, 0));  // Cancel stands 88 pixels right of OK
    EXPECT_EQ(exitStatus(30s), 0);

    start();
    dialog = x.waitForMapped(title, dialogSize, 30s);
    ASSERT_TRUE(dialog);
    x.requestClose(dialog->id);
    EXPECT_EQ(exitStatus(30s), 0);
}

TEST_F(TavrixUnderXvfb, ReplaysAMachineFileOrADumpInTheWindow) {
    const QStringList sources[] = {{QStringLiteral("--machine"), QStringLiteral(TAVRIX_SOURCE_DIR "/examples/acme.machine")},
                                   {QStringLiteral("--dump"), QStringLiteral(TAVRIX_TEST_DATA "/smbios/synthetic-3.x.bin")}};
    for (const QStringList& source : sources) {
        const QByteArray expected = reportOfThisComputer(source);
        ASSERT_FALSE(expected.isEmpty());
        start(source);
        const auto dialog = x.waitForMapped(title, dialogSize, 30s);
        ASSERT_TRUE(dialog) << "no disclaimer appeared";
        x.click(dialog->geometry.topLeft() + dialogOkCentre);
        const auto form1 = x.waitForMapped(title, form1Size, 60s);
        ASSERT_TRUE(form1) << "no main window of 785 by 706 appeared";
        x.click(form1->geometry.topLeft() + form1ControlCentre("clipboardCmd"));
        QByteArray clipboard;
        for (auto deadline = XvfbSession::Clock::now() + 20s; XvfbSession::Clock::now() < deadline;) {
            clipboard = x.clipboard();
            if (clipboard == expected) break;
        }
        EXPECT_EQ(clipboard.toStdString(), expected.toStdString()) << source.join(' ').toStdString();
        x.requestClose(form1->id);
        EXPECT_EQ(exitStatus(30s), 0);
    }
}

TEST_F(TavrixUnderXvfb, ABadFileGivesTavrixReportsMessageInABoxAndOnStandardErrorAndStatus1) {
    const QStringList arguments = {QStringLiteral("--machine"), QStringLiteral(TAVRIX_TEST_DATA "/malformed/text-line.machine")};
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), arguments);
    ASSERT_TRUE(report.waitForFinished(60000));
    EXPECT_EQ(report.exitCode(), 1);
    const QByteArray reportError = report.readAllStandardError();
    ASSERT_TRUE(reportError.startsWith("tavrix-report: "));

    start(arguments, QProcess::SeparateChannels);
    const auto box = x.waitForMapped(title, std::nullopt, 30s);
    ASSERT_TRUE(box) << "no message box appeared";
    EXPECT_NE(box->geometry.size(), dialogSize);
    x.requestClose(box->id);
    EXPECT_EQ(exitStatus(30s), 1);
    const QByteArray expectedLine = "tavrix: " + reportError.mid(15);  // Qt may add lines of its own
    const QByteArray error = tavrix.readAllStandardError();
    EXPECT_TRUE(error.startsWith(expectedLine) || error.contains("\n" + expectedLine)) << error.toStdString();
}

// A file that parses but holds a value the scan refuses fails once the scan runs: the same message
// as tavrix-report's, in a box and on standard error, and status 1.
TEST_F(TavrixUnderXvfb, AValueTheScanRefusesGivesItsMessageInABoxAndOnStandardError) {
    const QStringList arguments = {QStringLiteral("--machine"),
                                   QStringLiteral(TAVRIX_TEST_DATA "/malformed/capacity-not-a-number.machine")};
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), arguments);
    ASSERT_TRUE(report.waitForFinished(60000));
    EXPECT_EQ(report.exitCode(), 1);
    const QByteArray reportError = report.readAllStandardError();

    start(arguments, QProcess::SeparateChannels);
    const auto dialog = x.waitForMapped(title, dialogSize, 30s);
    ASSERT_TRUE(dialog) << "no disclaimer appeared";
    x.click(dialog->geometry.topLeft() + dialogOkCentre);
    const auto box = x.waitForMapped(title, std::nullopt, 60s);
    ASSERT_TRUE(box) << "no message box appeared";
    x.requestClose(box->id);
    EXPECT_EQ(exitStatus(30s), 1);
    const QByteArray expectedLine = "tavrix: " + reportError.mid(15);
    const QByteArray error = tavrix.readAllStandardError();
    EXPECT_TRUE(error.startsWith(expectedLine) || error.contains("\n" + expectedLine)) << error.toStdString();
}

// A folder of its own for the test, removed with it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrix-xvfb-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TemporaryFolder() { std::filesystem::remove_all(path_); }
    QString path() const { return QString::fromStdString(path_.string()); }
    // Everything below the folder, as paths relative to it.
    QStringList contents() const {
        QStringList found;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_)) {
            found << QString::fromStdString(std::filesystem::relative(entry.path(), path_).string());
        }
        return found;
    }

private:
    std::filesystem::path path_;
};

// The program started as root, run under strace: the system calls that succeeded, one a line.
class TavrixTracedAsRoot : public TavrixUnderXvfb {
protected:
    TemporaryFolder home, temporary, traceFolder;

    // Dropping to another user, and reading as root, need a run as root.
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root: the program drops from root to the invoking user";
    }

    void startTraced(const QStringList& sudo) {
        QProcessEnvironment environment = x.environment();
        for (const char* name : {"SUDO_UID", "SUDO_GID", "SUDO_USER", "PKEXEC_UID", "XDG_RUNTIME_DIR",
                                 "DBUS_SESSION_BUS_ADDRESS", "XDG_CACHE_HOME", "QTWEBENGINE_DISABLE_SANDBOX"}) {
            environment.remove(QString::fromLatin1(name));
        }
        for (const QString& setting : sudo) environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        tavrix.setProcessEnvironment(environment);
        tavrix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tavrix.start(QStringLiteral("strace"),
                     {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-z"), QStringLiteral("-s"), QStringLiteral("300"),
                      QStringLiteral("-o"), traceFolder.path() + QStringLiteral("/trace"), QStringLiteral("-e"),
                      QStringLiteral("trace=execve,open,openat,creat,mkdir,mkdirat,link,linkat,symlink,symlinkat,rename,"
                                     "renameat,renameat2,setresuid,setresgid"),
                      QStringLiteral(TAVRIX_BINARY)});
        ASSERT_TRUE(tavrix.waitForStarted(10000));
    }

    // OK in the disclaimer, then the copy button of the main window; the clipboard gets the report.
    // With chat, the chat link is clicked after that, and the message box it shows closed.
    void copyTheReportAndClose(bool chat = false) {
        const QByteArray expected = reportOfThisComputer();
        const auto dialog = x.waitForMapped(title, dialogSize, 60s);
        ASSERT_TRUE(dialog) << "no disclaimer appeared";
        x.click(dialog->geometry.topLeft() + dialogOkCentre);
        const auto form1 = x.waitForMapped(title, form1Size, 60s);
        ASSERT_TRUE(form1) << "no main window appeared";
        x.click(form1->geometry.topLeft() + form1ControlCentre("clipboardCmd"));
        QByteArray clipboard;
        for (auto deadline = XvfbSession::Clock::now() + 20s; XvfbSession::Clock::now() < deadline;) {
            clipboard = x.clipboard();
            if (clipboard == expected) break;
        }
        EXPECT_EQ(clipboard.toStdString(), expected.toStdString());
        if (chat) {
            x.click(form1->geometry.topLeft() + form1ControlCentre("Label39"));
            const auto box = x.waitForMapped(title, std::nullopt, 30s);
            EXPECT_TRUE(box) << "the chat showed no message";
            if (box) x.requestClose(box->id);
        }
        x.requestClose(form1->id);
        EXPECT_EQ(exitStatus(60s), 0);
    }

    QStringList trace() const {
        QFile file(traceFolder.path() + QStringLiteral("/trace"));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    // Successful calls that made a file, a folder or a link anywhere but in memory (/dev/shm, /proc).
    static std::string filesMade(const QStringList& trace) {
        static const QRegularExpression making(QStringLiteral(
            R"re((open|openat)\(.*"([^"]*)".*O_CREAT|(creat|mkdir|mkdirat|link|linkat|symlink|symlinkat|rename|renameat|renameat2)\(.*"([^"]*)")re"));
        QStringList made;
        for (const QString& line : trace) {
            const auto match = making.match(line);
            if (!match.hasMatch()) continue;
            const QString path = match.captured(2).isEmpty() ? match.captured(4) : match.captured(2);
            // /dev/shm, the devices and /proc (the browser sets its processes' oom_score_adj): in memory.
            if (path.startsWith(QLatin1String("/dev/")) || path.startsWith(QLatin1String("/proc/"))) continue;
            made << line;
        }
        return made.join('\n').toStdString();
    }

    static QStringList matching(const QStringList& trace, const QString& pattern) {
        return trace.filter(QRegularExpression(pattern));
    }
};

TEST_F(TavrixTracedAsRoot, ThroughSudoOrPkexecItReadsAsRootThenRunsAsTheUserWithTheBrowserSandboxAndMakesNoFile) {
    // pkexec names the user alone: the group comes from the user database (nobody's is 65534 too).
    const QStringList invokers[] = {
        {QStringLiteral("SUDO_UID=65534"), QStringLiteral("SUDO_GID=65534"), QStringLiteral("SUDO_USER=nobody")},
        {QStringLiteral("PKEXEC_UID=65534")}};
    for (const QStringList& invoker : invokers) {
        SCOPED_TRACE(invoker.join(' ').toStdString());
        startTraced(invoker);
        copyTheReportAndClose();
        const QStringList calls = trace();
        EXPECT_EQ(matching(calls, QStringLiteral(R"(setresgid\(65534, 65534, 65534\)\s+= 0)")).size(), 1);
        EXPECT_EQ(matching(calls, QStringLiteral(R"(setresuid\(65534, 65534, 65534\)\s+= 0)")).size(), 1);
        const QStringList browser = matching(calls, QStringLiteral("execve\\(\"[^\"]*QtWebEngineProcess\""));
        EXPECT_FALSE(browser.isEmpty()) << "the browser never started";
        EXPECT_TRUE(browser.filter(QStringLiteral("--no-sandbox")).isEmpty()) << browser.join('\n').toStdString();
        EXPECT_TRUE(matching(calls, QStringLiteral("dbus-launch")).isEmpty());
        EXPECT_EQ(filesMade(calls), "");
        EXPECT_EQ(home.contents().join(' ').toStdString(), "");
        EXPECT_EQ(temporary.contents().join(' ').toStdString(), "");
    }
}

// The chat starts nothing either: it says why in a message box.
TEST_F(TavrixTracedAsRoot, AsRootWithNoUserToRunTheBrowserAsEverythingButThePageWorksAndMakesNoFile) {
    startTraced({});
    copyTheReportAndClose(true);
    const QStringList calls = trace();
    EXPECT_TRUE(matching(calls, QStringLiteral("QtWebEngineProcess")).isEmpty()) << "a browser ran as root";
    EXPECT_EQ(matching(calls, QStringLiteral("execve\\(")).size(), 1) << "a program ran as root";
    EXPECT_TRUE(matching(calls, QStringLiteral("setresuid")).isEmpty());
    EXPECT_TRUE(matching(calls, QStringLiteral("dbus-launch")).isEmpty());
    EXPECT_EQ(filesMade(calls), "");
    EXPECT_EQ(home.contents().join(' ').toStdString(), "");
    EXPECT_EQ(temporary.contents().join(' ').toStdString(), "");
}

// An Xvfb with no client of the test's own (XvfbSession's would keep it from resetting), so that
// it resets whenever its last client leaves, as Xvfb and xvfb-run do by default. Its audit log
// names each client's arrival, with the client's process, and departure, in order.
class ResettingXvfb {
public:
    ResettingXvfb() {
        xvfb_.setProcessChannelMode(QProcess::MergedChannels);  // the display number and the audit log, in order
        xvfb_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                             QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                                             QStringLiteral("tcp"), QStringLiteral("-audit"), QStringLiteral("4")});
        static const QRegularExpression number(QStringLiteral("^(\\d+)$"), QRegularExpression::MultilineOption);
        for (auto deadline = XvfbSession::Clock::now() + 20s; display_.isEmpty() && XvfbSession::Clock::now() < deadline;) {
            xvfb_.waitForReadyRead(100);
            log_ += QString::fromLocal8Bit(xvfb_.readAll());
            if (const auto match = number.match(log_); match.hasMatch()) display_ = QLatin1Char(':') + match.captured(1);
        }
    }
    ~ResettingXvfb() {
        resume();
        xvfb_.kill();
        xvfb_.waitForFinished();
    }
    QString display() const { return display_; }
    // Stops the server and lets it go on, as a server busy elsewhere would be: whatever its clients
    // do meanwhile, it sees at once when it goes on.
    void pause() {
        const auto pid = static_cast<pid_t>(xvfb_.processId());
        ::kill(pid, SIGSTOP);
        // The signal takes effect when the server is next scheduled: wait until it has.
        QFile status(QStringLiteral("/proc/%1/stat").arg(pid));
        for (auto deadline = XvfbSession::Clock::now() + 5s; XvfbSession::Clock::now() < deadline;) {
            if (!status.open(QIODevice::ReadOnly)) return;
            const QByteArray stat = status.readAll();
            status.close();
            const qsizetype end = stat.lastIndexOf(')');  // the state follows the command's name
            if (end > 0 && stat.mid(end + 2, 1) == "T") return;
            std::this_thread::sleep_for(1ms);
        }
    }
    void resume() { ::kill(static_cast<pid_t>(xvfb_.processId()), SIGCONT); }
    // The audit log's lines so far, after waiting up to the time for more.
    QStringList audit(std::chrono::milliseconds wait = 0ms) {
        xvfb_.waitForReadyRead(static_cast<int>(wait.count()));
        log_ += QString::fromLocal8Bit(xvfb_.readAll());
        return log_.split('\n', Qt::SkipEmptyParts);
    }

private:
    QProcess xvfb_;
    QString display_;
    QString log_;
};

// Started again and again right after a killed instance, the program keeps a connection open from its
// display check until Qt has its own: leaving the server clientless in between would start a reset that
// drops Qt's connection if it arrives first (Qt then gives up on the display).
TEST(TavrixOnAResettingServer, NeverLeavesItWithoutAConnectionBetweenTheDisplayCheckAndQt) {
    ResettingXvfb x;
    ASSERT_FALSE(x.display().isEmpty());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), x.display());
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "SUDO_UID", "SUDO_GID", "PKEXEC_UID"})
        environment.remove(QString::fromLatin1(name));
    static const QRegularExpression event(QStringLiteral(R"(client (\d+) (connected|disconnected)(?:.*pid=(\d+))?)"));
    for (int start = 1; start <= 3; ++start) {
        const qsizetype seen = x.audit().size();
        QProcess tavrix;
        tavrix.setProcessEnvironment(environment);
        tavrix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), {QStringLiteral("--machine"), QStringLiteral(TAVRIX_SOURCE_DIR "/examples/acme.machine")});
        ASSERT_TRUE(tavrix.waitForStarted(10000));
        const QString pid = QString::number(tavrix.processId());
        // The check's client, then whether it left before the program's next connection arrived.
        QString checkClient;
        std::optional<bool> leftFirst;
        for (auto deadline = XvfbSession::Clock::now() + 30s; !leftFirst && XvfbSession::Clock::now() < deadline;) {
            if (tavrix.waitForFinished(1)) break;
            checkClient.clear();
            const QStringList lines = x.audit(50ms).mid(seen);
            bool left = false;
            for (const QString& line : lines) {
                const auto match = event.match(line);
                if (!match.hasMatch()) continue;
                const bool connected = match.captured(2) == QLatin1String("connected");
                if (checkClient.isEmpty()) {
                    if (connected && match.captured(3) == pid) checkClient = match.captured(1);
                } else if (!connected && match.captured(1) == checkClient) {
                    left = true;
                } else if (connected && match.captured(3) == pid) {
                    leftFirst = left;
                    break;
                }
            }
        }
        ASSERT_TRUE(leftFirst.has_value()) << "start " << start << ": the program made no second connection, exit status "
                                           << tavrix.exitCode() << "\n" << x.audit().mid(seen).join('\n').toStdString();
        EXPECT_FALSE(*leftFirst) << "start " << start << ": the display check's connection closed before Qt's arrived\n"
                                 << x.audit().mid(seen).join('\n').toStdString();
        tavrix.terminate();
        ASSERT_TRUE(tavrix.waitForFinished(30000));
    }
}

// The server resets as another client leaves, and the check's connection arrives before the reset
// begins, so the reset drops it: the check tries again rather than report that there is no display.
TEST(TavrixOnAResettingServer, TheDisplayCheckOutlastsAResetThatAnotherClientsLeavingStarts) {
    ResettingXvfb x;
    const std::string display = x.display().toStdString();
    xcb_connection_t* other = xcb_connect(display.c_str(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    x.pause();
    xcb_disconnect(other);
    auto problem = std::async(std::launch::async, [display] {
        char name[] = "tavrix", platformOption[] = "-platform", platform[] = "xcb", displayOption[] = "-display";
        std::string displayName = display;
        char* argv[] = {name, platformOption, platform, displayOption, displayName.data(), nullptr};
        return tavrix::DisplayCheck(5, argv).problem();
    });
    std::this_thread::sleep_for(200ms);  // the check's connection waits for the server
    x.resume();
    EXPECT_EQ(problem.get(), std::nullopt);
}

TEST(TavrixWithoutADisplay, SaysSoInOneLineAndExitsWith1) {
    QProcess tavrix;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(QString::fromLatin1(name));
    tavrix.setProcessEnvironment(environment);
    tavrix.start(QStringLiteral(TAVRIX_BINARY), {});
    ASSERT_TRUE(tavrix.waitForFinished(30000));
    EXPECT_EQ(tavrix.exitCode(), 1);
    EXPECT_EQ(tavrix.readAllStandardError().toStdString(), "tavrix: cannot open a display: DISPLAY is not set\n");

    // Options are checked before the display.
    for (const auto& [arguments, line] :
         {std::pair{QStringList{"--bogus"}, "tavrix: unknown argument: --bogus\n"},
          std::pair{QStringList{"--machine", "a", "--machine", "b"}, "tavrix: --machine is given twice\n"},
          std::pair{QStringList{"-style", "Fusion", "extra"}, "tavrix: unknown argument: extra\n"}}) {
        tavrix.start(QStringLiteral(TAVRIX_BINARY), arguments);
        ASSERT_TRUE(tavrix.waitForFinished(30000));
        EXPECT_EQ(tavrix.exitCode(), 2) << line;
        EXPECT_EQ(tavrix.readAllStandardError().toStdString(),
                  std::string(line) + "usage: tavrix [Qt options] [--machine FILE | --dump FILE]\n");
    }

    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":65000"));
    tavrix.setProcessEnvironment(environment);
    tavrix.start(QStringLiteral(TAVRIX_BINARY), {});
    ASSERT_TRUE(tavrix.waitForFinished(30000));
    EXPECT_EQ(tavrix.exitCode(), 1);
    EXPECT_EQ(tavrix.readAllStandardError().toStdString(), "tavrix: cannot open a display: no X display at \":65000\"\n");

    // Displays Qt cannot use although a server answers, or a platform that is not there: the same
    // clean end, never an abort.
    XvfbSession x;
    const QString noSuchScreen = x.display() + QStringLiteral(".7");
    for (const auto& [name, value] : {std::pair{"DISPLAY", noSuchScreen}, std::pair{"QT_QPA_PLATFORM", QStringLiteral("wayland")}}) {
        QProcessEnvironment broken = x.environment();
        broken.insert(QString::fromLatin1(name), value);
        tavrix.setProcessEnvironment(broken);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), {});
        ASSERT_TRUE(tavrix.waitForFinished(30000));
        EXPECT_EQ(tavrix.exitStatus(), QProcess::NormalExit) << name;
        EXPECT_EQ(tavrix.exitCode(), 1) << name;
        EXPECT_THAT(tavrix.readAllStandardError().toStdString(), ::testing::HasSubstr("tavrix: cannot open a display: "));
    }
}

}  // namespace
