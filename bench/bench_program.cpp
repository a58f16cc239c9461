// The real program on a private Xvfb display, timed from outside: OK until the main window is
// mapped (it is shown only once filled), the memory of all its processes once the page has loaded,
// and the peak of the program's own process over a large machine file. Medians over the
// repetitions. Start until the disclaimer is mapped is bench_start's, against two floors. Run as
// root, the program runs as nobody.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <map>
#include <stdexcept>
#include <thread>

#include "bench/hostile_machines.h"
#include "bench/program_user.h"
#include "tests/ui/qt/xvfb/xvfb_session.h"

namespace {

using namespace std::chrono_literals;
using Clock = XvfbSession::Clock;

const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);
constexpr QSize form1Size(785, 706);
constexpr QPoint dialogOkCentre(128 + 40, 288 + 12);
// How long the user reads the disclaimer before choosing OK.
constexpr auto readingTime = 3s;

XvfbSession& session() {
    static XvfbSession x;
    return x;
}

// Run as root, the program runs as nobody, as a customer runs it: root with no user to give the
// browser to would show no page.
const ProgramUser& programUser() {
    static const ProgramUser user;
    return user;
}

class Run {
public:
    explicit Run(const QStringList& arguments = {}) {
        session().skipPendingEvents();
        programUser().apply(process_, session());
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start(QStringLiteral(TAVRIX_BINARY), arguments);
        if (!process_.waitForStarted(10000)) throw std::runtime_error("cannot start tavrix");
    }
    ~Run() {
        if (mainWindow_) session().requestClose(*mainWindow_);
        else if (dialog_) session().requestClose(*dialog_);
        if (!process_.waitForFinished(20000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    qint64 pid() const { return process_.processId(); }

    Clock::time_point waitForDialog() {
        const auto mapped = session().waitForMapped(title, dialogSize, 30s);
        if (!mapped) throw std::runtime_error("no disclaimer");
        dialog_ = mapped->id;
        dialogCorner_ = mapped->geometry.topLeft();
        return mapped->mappedAt;
    }
    // Clicks OK; returns when the button came up (when OK acts) and when the main window was mapped.
    std::pair<Clock::time_point, Clock::time_point> okToMainWindow() {
        session().press(dialogCorner_ + dialogOkCentre);
        session().release();
        const Clock::time_point clickedAt = Clock::now();
        const auto mapped = session().waitForMapped(title, form1Size, 60s);
        if (!mapped) throw std::runtime_error("no main window");
        mainWindow_ = mapped->id;
        dialog_.reset();
        return {clickedAt, mapped->mappedAt};
    }

private:
    QProcess process_;
    std::optional<std::uint32_t> dialog_, mainWindow_;
    QPoint dialogCorner_;
};

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// arg 1: the user reads the disclaimer first, so the browser has warmed up; 0: OK at once.
void BM_OkUntilMainWindowMapped(benchmark::State& state) {
    for (auto _ : state) {
        Run run;
        run.waitForDialog();
        if (state.range(0)) std::this_thread::sleep_for(readingTime);
        const auto [clicked, mapped] = run.okToMainWindow();
        state.SetIterationTime(seconds(mapped - clicked));
    }
}
BENCHMARK(BM_OkUntilMainWindowMapped)->ArgName("read")->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly();

// The process and all its descendants (the browser's helper processes).
std::vector<qint64> processTree(qint64 root) {
    std::multimap<qint64, qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric) continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1) children.emplace(fields[1].toLongLong(), pid);
    }
    std::vector<qint64> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto [first, last] = children.equal_range(tree[i]);
        for (auto it = first; it != last; ++it) tree.push_back(it->second);
    }
    return tree;
}

// Kibibytes of one smaps_rollup field summed over the processes.
double sumField(const std::vector<qint64>& pids, const QByteArray& field) {
    double total = 0;
    for (const qint64 pid : pids) {
        QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
        if (!rollup.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : rollup.readAll().split('\n')) {
            if (line.startsWith(field + ':')) total += line.mid(field.size() + 1).trimmed().split(' ').value(0).toDouble();
        }
    }
    return total;
}

// Memory is sampled once the main window has stood for a while and the sum has settled, which
// is when the page (or the browser's error page, without a network) has loaded.
void BM_MemoryOnceThePageLoaded(benchmark::State& state) {
    double pss = 0, rss = 0, processes = 0;
    for (auto _ : state) {
        Run run;
        run.waitForDialog();
        std::this_thread::sleep_for(readingTime);
        run.okToMainWindow();
        std::this_thread::sleep_for(2s);
        double previous = -1;
        for (auto deadline = Clock::now() + 15s; Clock::now() < deadline; std::this_thread::sleep_for(500ms)) {
            pss = sumField(processTree(run.pid()), "Pss");
            if (previous > 0 && std::abs(pss - previous) < previous * 0.01) break;
            previous = pss;
        }
        const auto tree = processTree(run.pid());
        rss = sumField(tree, "Rss");
        processes = static_cast<double>(tree.size());
    }
    state.counters["pss_MiB"] = pss / 1024;
    state.counters["rss_MiB"] = rss / 1024;
    state.counters["processes"] = processes;
}
BENCHMARK(BM_MemoryOnceThePageLoaded)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();

// The program process's own peak (VmHWM) once its main window shows a machine file: arg 0 the
// Acme machine, for the floor; arg 1 the large file, also as a multiple of its size.
void BM_PeakOverAMachineFile(benchmark::State& state) {
    QString path = QStringLiteral(TAVRIX_SOURCE_DIR "/examples/acme.machine");
    if (state.range(0)) {
        path = programUser().folder() + QStringLiteral("/large.machine");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(QByteArray::fromStdString(everyReadClassAtItsRowCap())) < 0) {
            state.SkipWithError("cannot write the machine file");
            return;
        }
    }
    double peak = 0;
    for (auto _ : state) {
        Run run({QStringLiteral("--machine"), path});
        run.waitForDialog();
        run.okToMainWindow();
        QFile status(QStringLiteral("/proc/%1/status").arg(run.pid()));
        if (!status.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) peak = line.mid(6).trimmed().split(' ').value(0).toDouble() * 1024;
        }
    }
    const double size = static_cast<double>(QFileInfo(path).size());
    state.counters["peak_MiB"] = peak / 1048576;
    state.counters["file_MiB"] = size / 1048576;
    if (state.range(0)) state.counters["peak_per_file_byte"] = peak / size;
}
BENCHMARK(BM_PeakOverAMachineFile)->ArgName("large")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly();

}  // namespace
