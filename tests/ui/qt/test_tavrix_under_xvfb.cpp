// The real program on a display of its own, driven from outside as a user would: the disclaimer,
// OK, the main window, the copy button, the close box; as root, what it runs and makes; without a
// usable display.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <future>
#include <string>
#include <utility>
#include <vector>

#include "tests/ui/qt/xvfb/tavrix_process_test.h"
#include "ui/qt/display_check.h"

namespace {

using namespace tavrix_under_xvfb;

struct Report {
    int status;
    QByteArray text, error;
};

// tavrix-report's run over the source (this computer when none is given).
Report tavrixReport(const QStringList& source = {}) {
    QProcess report;
    report.start(QStringLiteral(TAVRIX_REPORT_BINARY), source);
    report.waitForFinished(60000);
    return {report.exitCode(), report.readAllStandardOutput(), report.readAllStandardError()};
}

class TavrixUnderXvfb : public TavrixProcessTest {
protected:
    void start(const QStringList& arguments = {}, QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
        tavrix.setProcessEnvironment(x.environment());
        tavrix.setProcessChannelMode(channels);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), arguments);
        ASSERT_TRUE(tavrix.waitForStarted(10000));
    }

    // The main window's copy button puts the report on the clipboard.
    void copyTheReport(const XvfbSession::MappedWindow& form1, const QByteArray& expected) {
        x.click(form1.geometry.topLeft() + form1Place("clipboardCmd").center());
        eventually([&] { return x.clipboard() == expected; }, 20s);
        EXPECT_EQ(x.clipboard().toStdString(), expected.toStdString());
    }
};

// Of this computer, of a machine file or of a table dump: the clipboard gets tavrix-report's report,
// lines ending in CR LF.
TEST_F(TavrixUnderXvfb, OkBringsTheMainWindowItsCopyButtonFillsTheClipboardAndClosingEndsWithStatus0) {
    const QStringList sources[] = {{},
                                   {"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine"},
                                   {"--dump", TAVRIX_TEST_DATA "/smbios/synthetic-3.x.bin"}};
    for (const QStringList& source : sources) {
        SCOPED_TRACE(source.join(' ').toStdString());
        const Report expected = tavrixReport(source);
        ASSERT_EQ(expected.status, 0) << expected.error.toStdString();
        ASSERT_TRUE(expected.text.contains("\r\n"));
        start(source);
        const auto form1 = okToTheMainWindow();
        ASSERT_TRUE(form1);
        copyTheReport(*form1, expected.text);
        x.requestClose(form1->id);
        EXPECT_EQ(exitStatus(30s), 0);
    }
}

TEST_F(TavrixUnderXvfb, CancelAndTheDisclaimersCloseBoxBothEndWithStatus0) {
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "the close box" : "Cancel");
        start();
        const auto dialog = x.waitForMapped(title, dialogSize, 30s);
        ASSERT_TRUE(dialog);
        if (closeBox)
            x.requestClose(dialog->id);
        else
            x.click(dialog->geometry.topLeft() + dialogOkCentre + QPoint(88, 0));  // Cancel stands 88 pixels right of OK
        EXPECT_EQ(exitStatus(30s), 0);
    }
}

// A file that does not parse fails before the disclaimer; one that parses but holds a value the
// scan refuses fails once the scan runs, after OK. Either way: tavrix-report's message, in a box and
// on standard error, and status 1.
TEST_F(TavrixUnderXvfb, ABadFileGivesTavrixReportsMessageInABoxAndOnStandardErrorAndStatus1) {
    struct BadFile {
        const char* name;
        bool failsAfterOk;
    };
    for (const BadFile& file : {BadFile{"text-line.machine", false}, BadFile{"capacity-not-a-number.machine", true}}) {
        SCOPED_TRACE(file.name);
        const QStringList arguments = {"--machine", QStringLiteral(TAVRIX_TEST_DATA "/malformed/") + file.name};
        const Report report = tavrixReport(arguments);
        EXPECT_EQ(report.status, 1);
        ASSERT_TRUE(report.error.startsWith("tavrix-report: "));
        start(arguments, QProcess::SeparateChannels);
        if (file.failsAfterOk) {
            const auto dialog = x.waitForMapped(title, dialogSize, 30s);
            ASSERT_TRUE(dialog) << "no disclaimer appeared";
            x.click(dialog->geometry.topLeft() + dialogOkCentre);
        }
        const auto box = x.waitForMapped(title, std::nullopt, 60s);
        ASSERT_TRUE(box) << "no message box appeared";
        EXPECT_NE(box->geometry.size(), dialogSize);
        x.requestClose(box->id);
        EXPECT_EQ(exitStatus(30s), 1);
        const QByteArray expectedLine = "tavrix: " + report.error.mid(15);  // Qt may add lines of its own
        const QByteArray error = tavrix.readAllStandardError();
        EXPECT_TRUE(error.startsWith(expectedLine) || error.contains("\n" + expectedLine)) << error.toStdString();
    }
}

// What the folder holds (anything made below it shows as its first level), joined by blanks.
std::string contents(const QTemporaryDir& folder) {
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
        .join(' ')
        .toStdString();
}

// The program started as root, run under strace: the system calls that succeeded, one a line.
class TavrixTracedAsRoot : public TavrixUnderXvfb {
protected:
    QTemporaryDir home, temporary, traceFolder;

    // Dropping to another user, and reading as root, need a run as root.
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "needs root: the program drops from root to the invoking user";
    }

    void startTraced(const QStringList& invoker) {
        QProcessEnvironment environment = x.environment();
        for (const char* name : {"SUDO_UID", "SUDO_GID", "SUDO_USER", "PKEXEC_UID", "XDG_RUNTIME_DIR",
                                 "DBUS_SESSION_BUS_ADDRESS", "XDG_CACHE_HOME", "QTWEBENGINE_DISABLE_SANDBOX"})
            environment.remove(QString::fromLatin1(name));
        for (const QString& setting : invoker) environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
        environment.insert("HOME", home.path());
        environment.insert("TMPDIR", temporary.path());
        tavrix.setProcessEnvironment(environment);
        tavrix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tavrix.start("strace", {"-f", "-qq", "-z", "-s", "300", "-o", traceFolder.filePath("trace"), "-e",
                                "trace=execve,open,openat,creat,mkdir,mkdirat,link,linkat,symlink,symlinkat,rename,"
                                "renameat,renameat2,setresuid,setresgid",
                                TAVRIX_BINARY});
        ASSERT_TRUE(tavrix.waitForStarted(10000));
    }

    // OK, then the copy button; with chat, the chat link after that, and the message box it shows closed.
    void copyTheReportAndClose(bool chat) {
        const QByteArray expected = tavrixReport().text;
        const auto form1 = okToTheMainWindow();
        ASSERT_TRUE(form1);
        copyTheReport(*form1, expected);
        if (chat) {
            x.click(form1->geometry.topLeft() + form1Place("Label39").center());
            const auto box = x.waitForMapped(title, std::nullopt, 30s);
            EXPECT_TRUE(box) << "the chat showed no message";
            if (box) x.requestClose(box->id);
        }
        x.requestClose(form1->id);
        EXPECT_EQ(exitStatus(60s), 0);
    }

    QStringList trace() const {
        QFile file(traceFolder.filePath("trace"));
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
};

// Through sudo or pkexec it reads as root, then runs as the user with the browser in its sandbox.
// As root with no user to run the browser as, everything but the page works, and the chat starts
// nothing either: it says why in a message box. It makes no file either way.
TEST_F(TavrixTracedAsRoot, RunsAsTheInvokingUserWithTheBrowserSandboxOrWithoutTheBrowserAndMakesNoFile) {
    struct Invoker {
        QStringList environment;
        bool dropsToNobody;
    };
    // pkexec names the user alone: the group comes from the user database (nobody's is 65534 too).
    const Invoker invokers[] = {{{"SUDO_UID=65534", "SUDO_GID=65534", "SUDO_USER=nobody"}, true},
                                {{"PKEXEC_UID=65534"}, true},
                                {{}, false}};
    for (const Invoker& invoker : invokers) {
        SCOPED_TRACE(invoker.environment.join(' ').toStdString());
        startTraced(invoker.environment);
        copyTheReportAndClose(!invoker.dropsToNobody);
        const QStringList calls = trace();
        auto matching = [&](const char* pattern) { return calls.filter(QRegularExpression(QString::fromLatin1(pattern))); };
        if (invoker.dropsToNobody) {
            EXPECT_EQ(matching(R"(setresgid\(65534, 65534, 65534\)\s+= 0)").size(), 1);
            EXPECT_EQ(matching(R"(setresuid\(65534, 65534, 65534\)\s+= 0)").size(), 1);
            const QStringList browser = matching("execve\\(\"[^\"]*QtWebEngineProcess\"");
            EXPECT_FALSE(browser.isEmpty()) << "the browser never started";
            EXPECT_TRUE(browser.filter("--no-sandbox").isEmpty()) << browser.join('\n').toStdString();
            // Qt WebEngine comes with the page module, which is loaded only as the user.
            const auto firstLine = [&](const char* pattern) {
                const QRegularExpression expression(QString::fromLatin1(pattern));
                for (qsizetype line = 0; line < calls.size(); ++line)
                    if (calls[line].contains(expression)) return line;
                return qsizetype{-1};
            };
            EXPECT_LT(firstLine("setresuid\\(65534"), firstLine("openat\\(.*/tavrix-page\\.so\""));
            EXPECT_LT(firstLine("setresuid\\(65534"), firstLine("openat\\(.*libQt6WebEngineCore"));
        } else {
            EXPECT_TRUE(matching("QtWebEngineProcess").isEmpty()) << "a browser ran as root";
            EXPECT_TRUE(matching("tavrix-page\\.so|libQt6WebEngine").isEmpty()) << "Qt WebEngine was loaded as root";
            EXPECT_EQ(matching("execve\\(").size(), 1) << "a program ran as root";
            EXPECT_TRUE(matching("setresuid").isEmpty());
        }
        EXPECT_TRUE(matching("dbus-launch").isEmpty());
        EXPECT_EQ(filesMade(calls), "");
        EXPECT_EQ(contents(home), "");
        EXPECT_EQ(contents(temporary), "");
    }
}

// An Xvfb with no client of the test's own (XvfbSession's would keep it from resetting), so that
// it resets whenever its last client leaves, as Xvfb and xvfb-run do by default. Its audit log
// names each client's arrival, with the client's process, and departure, in order.
class ResettingXvfb {
public:
    ResettingXvfb() {
        xvfb_.setProcessChannelMode(QProcess::MergedChannels);  // the display number and the audit log, in order
        xvfb_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-audit", "4"});
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
    environment.insert("DISPLAY", x.display());
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "SUDO_UID", "SUDO_GID", "PKEXEC_UID"})
        environment.remove(QString::fromLatin1(name));
    static const QRegularExpression event(QStringLiteral(R"(client (\d+) (connected|disconnected)(?:.*pid=(\d+))?)"));
    for (int start = 1; start <= 3; ++start) {
        const qsizetype seen = x.audit().size();
        QProcess tavrix;
        tavrix.setProcessEnvironment(environment);
        tavrix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        tavrix.start(TAVRIX_BINARY, {"--machine", TAVRIX_SOURCE_DIR "/examples/acme.machine"});
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
        return tavrix::qt::DisplayCheck(5, argv).problem();
    });
    std::this_thread::sleep_for(200ms);  // the check's connection waits for the server
    x.resume();
    EXPECT_EQ(problem.get(), std::nullopt);
}

// Without a usable display it says so in one line and exits with status 1, never an abort:
// none named, none answering (each platform Qt would try, in its order), a screen or a platform Qt
// cannot use although a server answers.
// Options are checked before the display: status 2 and the usage line.
TEST(TavrixWithoutADisplay, SaysSoInOneLineAndExitsWith1) {
    XvfbSession x;
    QProcessEnvironment none = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        none.remove(QString::fromLatin1(name));
    const std::string usage = "usage: tavrix [Qt options] [--machine FILE | --dump FILE]\n";
    using ::testing::HasSubstr;
    struct Run {
        QStringList arguments;
        std::vector<std::pair<QString, QString>> environment;
        int status;
        ::testing::Matcher<std::string> error;
    };
    const Run runs[] = {
        {{}, {}, 1, "tavrix: cannot open a display: neither WAYLAND_DISPLAY nor DISPLAY is set\n"},
        {{}, {{"QT_QPA_PLATFORM", "xcb"}}, 1, "tavrix: cannot open a display: DISPLAY is not set\n"},
        {{}, {{"WAYLAND_DISPLAY", "/nonexistent/wayland-9"}}, 1,
         "tavrix: cannot open a display: no Wayland display at \"/nonexistent/wayland-9\"; DISPLAY is not set\n"},
        {{}, {{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":65000"}, {"XDG_RUNTIME_DIR", "/nonexistent"}}, 1,
         "tavrix: cannot open a display: no Wayland display at \"wayland-0\"; no X display at \":65000\"\n"},
        {{"--bogus"}, {}, 2, "tavrix: unknown argument: --bogus\n" + usage},
        {{"--machine", "a", "--machine", "b"}, {}, 2, "tavrix: --machine is given twice\n" + usage},
        {{"-style", "Fusion", "extra"}, {}, 2, "tavrix: unknown argument: extra\n" + usage},
        {{}, {{"DISPLAY", ":65000"}}, 1, "tavrix: cannot open a display: no X display at \":65000\"\n"},
        {{}, {{"DISPLAY", x.display() + ".7"}}, 1, HasSubstr("tavrix: cannot open a display: ")},
        {{}, {{"DISPLAY", x.display()}, {"QT_QPA_PLATFORM", "wayland"}}, 1, HasSubstr("tavrix: cannot open a display: ")},
    };
    for (const Run& run : runs) {
        QProcessEnvironment environment = none;
        for (const auto& [name, value] : run.environment) environment.insert(name, value);
        SCOPED_TRACE((run.arguments.join(' ') + ' ' + environment.value("DISPLAY") + ' ' +
                      environment.value("QT_QPA_PLATFORM")).toStdString());
        QProcess tavrix;
        tavrix.setProcessEnvironment(environment);
        tavrix.start(QStringLiteral(TAVRIX_BINARY), run.arguments);
        ASSERT_TRUE(tavrix.waitForFinished(30000));
        EXPECT_EQ(tavrix.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tavrix.exitCode(), run.status);
        EXPECT_THAT(tavrix.readAllStandardError().toStdString(), run.error);
    }
}

}  // namespace
