// tavrix.exe under a warm Wine on a private Xvfb display, timed from outside: process start until
// the disclaimer is mapped, OK until Form1 is mapped (it is shown only once filled), and the
// memory of the process once the browser has requested the page. Medians over the repetitions.
// Each on two desktops (the argument "openbox"): 0, Xvfb alone with Wine managing its windows
// itself (Managed=N); 1, openbox framing the windows Wine leaves to it, as on a user's desktop.
// Run by bench/wine_bench_program.sh, which makes the prefix, the network and the page server.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>

#include "tests/ui/qt/xvfb/xvfb_session.h"

namespace {

using namespace std::chrono_literals;
using Clock = XvfbSession::Clock;

const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);
constexpr QPoint dialogOkCentre(128 + 40, 288 + 12);
constexpr auto readingTime = 1s;

enum Desktop { bare = 0, openbox = 1 };

QString environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set (run bench/wine_bench_program.sh)");
    return QString::fromLocal8Bit(value);
}

class Run {
public:
    explicit Run(XvfbSession& session) : session_(session) {
        session_.skipPendingEvents();
        process_.setProcessEnvironment(session_.environment());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        startedAt_ = Clock::now();
        process_.start(QStringLiteral("wine"), {environmentValue("TAVRIX_EXE")});
        if (!process_.waitForStarted(10000)) throw std::runtime_error("cannot start wine");
    }
    ~Run() {
        if (mainWindow_)
            session_.requestClose(*mainWindow_);
        else if (dialog_)
            session_.requestClose(*dialog_);
        if (!process_.waitForFinished(20000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    Clock::time_point startedAt() const { return startedAt_; }
    qint64 pid() const { return process_.processId(); }

    Clock::time_point waitForDialog() {
        const auto mapped = session_.waitForMapped(title, std::nullopt, 30s);
        if (!mapped) throw std::runtime_error("no disclaimer");
        dialog_ = mapped->id;
        // Unmanaged, Wine draws the frame itself: as wide on every side, the title bar on top.
        // Under openbox the window is the client area alone.
        const QRect outer = mapped->geometry;
        const int frame = (outer.width() - dialogSize.width()) / 2;
        dialogCorner_ = outer.topLeft() + QPoint(frame, outer.height() - dialogSize.height() - frame);
        return mapped->mappedAt;
    }
    // Clicks OK; returns when the button came up and when Form1 was mapped.
    std::pair<Clock::time_point, Clock::time_point> okToMainWindow() {
        session_.press(dialogCorner_ + dialogOkCentre);
        session_.release();
        const Clock::time_point clickedAt = Clock::now();
        const auto mapped = session_.waitForMapped(title, std::nullopt, 60s);
        if (!mapped) throw std::runtime_error("no main window");
        mainWindow_ = mapped->id;
        dialog_.reset();
        return {clickedAt, mapped->mappedAt};
    }

private:
    XvfbSession& session_;
    QProcess process_;
    Clock::time_point startedAt_;
    std::optional<std::uint32_t> dialog_, mainWindow_;
    QPoint dialogCorner_;
};

// The display for the desktop, with Wine's Managed setting to match, warmed by one run to the
// disclaimer the first time it is asked for; the other desktop's display goes.
XvfbSession& desktop(const benchmark::State& state) {
    static std::unique_ptr<XvfbSession> session;
    static int current = -1;
    const int wanted = static_cast<int>(state.range(0));
    if (wanted != current) {
        session.reset();
        QProcess wine;
        wine.start(QStringLiteral("wine"),
                   {QStringLiteral("reg"), QStringLiteral("add"), QStringLiteral("HKCU\\Software\\Wine\\X11 Driver"),
                    QStringLiteral("/v"), QStringLiteral("Managed"), QStringLiteral("/t"), QStringLiteral("REG_SZ"),
                    QStringLiteral("/d"), wanted == openbox ? QStringLiteral("Y") : QStringLiteral("N"),
                    QStringLiteral("/f")});
        if (!wine.waitForFinished(30000) || wine.exitCode() != 0) throw std::runtime_error("cannot set Wine's Managed");
        session = std::make_unique<XvfbSession>(wanted == openbox ? XvfbSession::WindowManager::openbox
                                                                  : XvfbSession::WindowManager::none);
        current = wanted;
        Run(*session).waitForDialog();
    }
    return *session;
}

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

void BM_WineStartUntilDisclaimerMapped(benchmark::State& state) {
    XvfbSession& session = desktop(state);
    for (auto _ : state) {
        Run run(session);
        state.SetIterationTime(seconds(run.waitForDialog() - run.startedAt()));
    }
}
BENCHMARK(BM_WineStartUntilDisclaimerMapped)
    ->ArgName("openbox")
    ->Arg(bare)
    ->Arg(openbox)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly();

void BM_WineOkUntilMainWindowMapped(benchmark::State& state) {
    XvfbSession& session = desktop(state);
    for (auto _ : state) {
        Run run(session);
        run.waitForDialog();
        std::this_thread::sleep_for(readingTime);
        const auto [clicked, mapped] = run.okToMainWindow();
        state.SetIterationTime(seconds(mapped - clicked));
    }
}
BENCHMARK(BM_WineOkUntilMainWindowMapped)
    ->ArgName("openbox")
    ->Arg(bare)
    ->Arg(openbox)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly();

// Kibibytes of one field of /proc/PID/status (VmRSS: the working set) or smaps_rollup (Pss).
double field(qint64 pid, const char* file, const QByteArray& name) {
    QFile source(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    if (!source.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : source.readAll().split('\n'))
        if (line.startsWith(name + ':')) return line.mid(name.size() + 1).trimmed().split(' ').value(0).toDouble();
    return 0;
}

// Memory is sampled once the page server has seen the browser's request and the figure has
// settled.
void BM_WineMemoryWithThePageRequested(benchmark::State& state) {
    const QString requestFile = environmentValue("TAVRIX_REQUEST_FILE");
    double rss = 0, pss = 0;
    XvfbSession& session = desktop(state);
    for (auto _ : state) {
        QFile::remove(requestFile);
        Run run(session);
        run.waitForDialog();
        std::this_thread::sleep_for(readingTime);
        run.okToMainWindow();
        for (auto deadline = Clock::now() + 15s; Clock::now() < deadline && !QFile::exists(requestFile);)
            std::this_thread::sleep_for(100ms);
        if (!QFile::exists(requestFile)) throw std::runtime_error("the browser requested no page");
        std::this_thread::sleep_for(1s);
        rss = field(run.pid(), "status", "VmRSS");
        pss = field(run.pid(), "smaps_rollup", "Pss");
    }
    state.counters["working_set_MiB"] = rss / 1024;
    state.counters["pss_MiB"] = pss / 1024;
}
BENCHMARK(BM_WineMemoryWithThePageRequested)
    ->ArgName("openbox")
    ->Arg(bare)
    ->Arg(openbox)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

}  // namespace
