// Process start until the disclaimer is mapped, for tavrix and two floors under it: a bare Qt
// dialog, and the same dialog in a program linked to Qt WebEngine; and, for what text costs, the
// bare dialog with a line of text. The programs alternate (A B C D A B C D ...) so that a slower or busier stretch of
// the machine weighs on all of them alike: warm, then each run after dropping the page cache (as root only), which is
// the start a customer sees the first time. Prints the medians in milliseconds and tavrix's distance to each floor.
//
// Run as root, the programs run as nobody with a home of their own: an ordinary user's start
// (tavrix as root reads this computer's tables first, which is another start).
#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/program_user.h"
#include "tests/ui/qt/xvfb/xvfb_session.h"

namespace {

using namespace std::chrono_literals;
using Clock = XvfbSession::Clock;

constexpr int warmRuns = 9;
constexpr int coldRuns = 3;
const QString title = QStringLiteral("Tavrix - System Memory Information");
constexpr QSize dialogSize(410, 322);

struct Program {
    const char* name;
    QString path;
    QStringList arguments;
};

const std::vector<Program> programs = {
    {"bare Qt dialog (the floor)", QStringLiteral(FLOOR_DIALOG), {}},
    {"the dialog with a line of text", QStringLiteral(FLOOR_DIALOG), {QStringLiteral("--text")}},
    {"the dialog linked to Qt WebEngine", QStringLiteral(FLOOR_DIALOG_WEBENGINE), {}},
    {"tavrix --machine examples/acme.machine",
     QStringLiteral(TAVRIX_BINARY),
     {QStringLiteral("--machine"), QStringLiteral(TAVRIX_SOURCE_DIR "/examples/acme.machine")}},
};

// Whether any process of the session is still running (zombies count as ended): the program
// leads a session of its own, which its helper processes stay in after it ended.
bool sessionRunning(qint64 session) {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!entry.front().isDigit() || !stat.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');  // state ppid pgrp session
        if (fields.size() > 3 && fields[3].toLongLong() == session && fields[0] != "Z") return true;
    }
    return false;
}

// Milliseconds from starting the program until its dialog is mapped. The dialog is then closed
// as a window manager's close box closes it, and the next run starts only once every process of
// this one has ended, so that none still takes the processor from the next program.
double startUntilMapped(XvfbSession& session, const ProgramUser& user, const Program& program) {
    session.skipPendingEvents();
    QProcess process;
    user.apply(process, session);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    const Clock::time_point startedAt = Clock::now();
    process.start(program.path, program.arguments);
    if (!process.waitForStarted(10000)) throw std::runtime_error(std::string("cannot start ") + program.name);
    const qint64 pid = process.processId();
    const auto mapped = session.waitForMapped(title, dialogSize, 30s);
    if (mapped) session.requestClose(mapped->id);
    if (!mapped || !process.waitForFinished(20000)) kill(static_cast<pid_t>(-pid), SIGKILL);  // its process group
    process.waitForFinished(5000);
    for (const auto deadline = Clock::now() + 10s; Clock::now() < deadline; std::this_thread::sleep_for(10ms))
        if (!sessionRunning(pid)) break;
    if (!mapped) throw std::runtime_error(std::string("no dialog was mapped: ") + program.name);
    return std::chrono::duration<double, std::milli>(mapped->mappedAt - startedAt).count();
}

// Empties the page cache, so that the next program reads its libraries from the disk; the reason
// when it cannot.
std::optional<std::string> dropPageCache() {
    if (geteuid() != 0) return "not running as root";
    sync();
    QFile control(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (!control.open(QIODevice::WriteOnly) || control.write("3\n") != 2 || !control.flush())
        return "cannot write /proc/sys/vm/drop_caches: " + control.errorString().toStdString();
    return std::nullopt;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

using Times = std::vector<std::vector<double>>;  // per program, its runs

// Rounds of one run of each program in turn; beforeEach runs before every run and may refuse
// (its reason), which stops the rounds and leaves the times empty.
Times alternate(XvfbSession& session, const ProgramUser& user, int rounds,
                const std::function<std::optional<std::string>()>& beforeEach, std::string& refusal) {
    Times times(programs.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            if (auto reason = beforeEach()) {
                refusal = *reason;
                return Times(programs.size());
            }
            times[i].push_back(startUntilMapped(session, user, programs[i]));
        }
    }
    return times;
}

std::string cell(const std::vector<double>& runs, double minus = 0) {
    return runs.empty() ? "-" : std::to_string(static_cast<long>(std::lround(median(runs) - minus)));
}

void printTable(const Times& warm, const Times& cold) {
    auto row = [](const std::string& name, const std::string& warmCell, const std::string& coldCell) {
        std::printf("%-42s %6s %6s\n", name.c_str(), warmCell.c_str(), coldCell.c_str());
    };
    row("program", "warm", "cold");
    for (std::size_t i = 0; i < programs.size(); ++i) row(programs[i].name, cell(warm[i]), cell(cold[i]));
    const std::size_t tavrix = programs.size() - 1;
    for (std::size_t floor = 0; floor < tavrix; ++floor) {
        const auto difference = [&](const Times& times) {
            return times[floor].empty() ? std::string("-") : cell(times[tavrix], median(times[floor]));
        };
        row(std::string("tavrix - ") + programs[floor].name, difference(warm), difference(cold));
    }
}

}  // namespace

int main() {
    try {
        XvfbSession session;
        const ProgramUser user;
        std::string refusal;
        const auto nothing = [] { return std::optional<std::string>(); };
        // One round untimed, so that the first warm run finds the libraries in the page cache.
        alternate(session, user, 1, nothing, refusal);
        const Times warm = alternate(session, user, warmRuns, nothing, refusal);
        const Times cold = alternate(session, user, coldRuns, dropPageCache, refusal);

        std::printf(
            "Start until the disclaimer is mapped, ms, run as %s; medians of %d alternated runs warm, of %d "
            "after dropping the page cache cold\n",
            user.name(), warmRuns, coldRuns);
        if (!refusal.empty()) std::printf("cold runs skipped: %s\n", refusal.c_str());
        printTable(warm, cold);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_start: %s\n", error.what());
        return 1;
    }
}
