// tavrix.exe under a warm Wine on a private Xvfb display, timed from outside: process start until
// the disclaimer is mapped, OK until Form1 is mapped (it is shown only once filled), and the
// memory of the process once the browser has requested the page. Medians over the repetitions.
// Run by bench/wine_bench_program.sh, which makes the prefix, the network and the page server.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <chrono>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <thread>

#include "xvfb/xvfb_session.h"

namespace {

using namespace std::chrono_literals;
using Clock = XvfbSession::Clock;

const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);
constexpr QPoint dialogOkCentre(128 + 40, 288 + 12);
constexpr auto readingTime = 1s;

XvfbSession& session() {
    static XvfbSession x;
    return x;
}

QString environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value) throw std::runtime_error(std::string(name) + " is not set (run bench/wine_bench_program.sh)");
    return QString::fromLocal8Bit(value);
}

class Run {
public:
    Run() {
        session().skipPendingEvents();
        process_.setProcessEnvironment(session().environment());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        startedAt_ = Clock::now();
        process_.start(QStringLiteral("wine"), {environmentValue("TAVRIX_EXE")});
        if (!process_.waitForStarted(10000)) throw std::runtime_error("cannot start wine");
    }
    ~Run() {
        if (mainWindow_)
            session().requestClose(*mainWindow_);
        else if (dialog_)
            session().requestClose(*dialog_);
        if (!process_.waitForFinished(20000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    Clock::time_point startedAt() const { return startedAt_; }
    qint64 pid() const { return process_.processId(); }

    Clock::time_point waitForDialog() {
        const auto mapped = session().waitForMapped(title, std::nullopt, 30s);
        if (!mapped) throw std::runtime_error("no disclaimer");
        dialog_ = mapped->id;
        // Wine draws the frame itself (unmanaged windows): as wide on every side, the title bar on top.
        const QRect outer = mapped->geometry;
        const int frame = (outer.width() - dialogSize.width()) / 2;
        dialogCorner_ = outer.topLeft() + QPoint(frame, outer.height() - dialogSize.height() - frame);
        return mapped->mappedAt;
    }
    // Clicks OK; returns when the button came up and when Form1 was mapped.
    std::pair<Clock::time_point, Clock::time_point> okToMainWindow() {
        session().press(dialogCorner_ + dialogOkCentre);
        session().release();
        const Clock::time_point clickedAt = Clock::now();
        const auto mapped = session().waitForMapped(title, std::nullopt, 60s);
        if (!mapped) throw std::runtime_error("no main window");
        mainWindow_ = mapped->id;
        dialog_.reset();
        return {clickedAt, mapped->mappedAt};
    }

private:
    QProcess process_;
    Clock::time_point startedAt_;
    std::optional<std::uint32_t> dialog_, mainWindow_;
    QPoint dialogCorner_;
};

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

void BM_WineStartUntilDisclaimerMapped(benchmark::State& state) {
    for (auto _ : state) {
        Run run;
        state.SetIterationTime(seconds(run.waitForDialog() - run.startedAt()));
    }
}
BENCHMARK(BM_WineStartUntilDisclaimerMapped)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly();

void BM_WineOkUntilMainWindowMapped(benchmark::State& state) {
    for (auto _ : state) {
        Run run;
        run.waitForDialog();
        std::this_thread::sleep_for(readingTime);
        const auto [clicked, mapped] = run.okToMainWindow();
        state.SetIterationTime(seconds(mapped - clicked));
    }
}
BENCHMARK(BM_WineOkUntilMainWindowMapped)
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
    for (auto _ : state) {
        QFile::remove(requestFile);
        Run run;
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
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly();

}  // namespace
