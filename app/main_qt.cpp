// tavrix: the disclaimer, the scanning splash and the main window, over this computer or, with
// --machine FILE or --dump FILE, over a machine file or a table dump. Qt's standard arguments
// (-platform, -display, ...) work as usual.
#include <QByteArray>
#include <QLoggingCategory>
#include <QStringList>
#include <QString>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/root_privileges.h"
#include "cli/program_options.h"
#include "forms/form1_form.h"
#include "providers/platform_provider.h"
#include "scan/management_query.h"
#include "scan/regular_file.h"
#include "scan/text_form.h"
#include "ui/qt/desktop_services.h"
#include "ui/qt/display_check.h"
#include "ui/qt/program_windows.h"
#include "ui/qt/tavrix_application.h"

namespace {

using tavrix::Program;
using tavrix::ProgramOptions;
using tavrix::qt::DisplayCheck;
using tavrix::qt::ProgramWindows;
using tavrix::qt::reportFailureAndExit;
using tavrix::qt::systemDesktopServices;
using tavrix::qt::TavrixApplication;

// Whether Qt's own -style argument is given ("-style NAME", "-style=NAME", "--style ...").
bool hasStyleArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--")) argument.remove_prefix(1);
        if (argument == "-style" || argument.starts_with("-style=")) return true;
    }
    return false;
}

// Qt's own options (QGuiApplication's, QApplication's and the X11 platform's), with one dash or
// two; those that take a value take the next argument unless given as -option=value. Qt takes
// them out of argv only as it connects to the display, and a usage error must come before any
// display is opened (or found missing), so the program sets Qt's apart itself; whatever Qt then
// leaves is still checked after it started.
constexpr std::string_view qtOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
    "session", "display", "geometry", "title", "name", "visual", "style", "stylesheet"};
constexpr std::string_view qtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "qmljsdebugger"};

// How many arguments from argv[i] are one of Qt's options; 0: none of Qt's.
int qtOptionLength(int argc, char** argv, int i) {
    std::string_view argument = argv[i];
    if (!argument.starts_with('-') || argument.starts_with("---")) return 0;
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    const std::size_t equals = argument.find('=');
    const std::string_view name = argument.substr(0, equals);
    auto among = [name](const auto& names) { return std::find(std::begin(names), std::end(names), name) != std::end(names); };
    if (among(qtOptionsWithValue)) return equals != std::string_view::npos || i + 1 >= argc ? 1 : 2;
    return among(qtFlags) ? 1 : 0;
}

// Takes the program's own arguments out of argv, leaving Qt's options for QApplication.
std::vector<std::string> takeOwnArguments(int& argc, char** argv) {
    std::vector<std::string> own;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--machine" || argument == "--dump") {
            own.emplace_back(argument);
            if (i + 1 < argc) own.emplace_back(argv[++i]);
        } else if (const int length = qtOptionLength(argc, argv, i); length > 0) {
            for (int j = 0; j < length; ++j) argv[kept++] = argv[i + j];
            i += length - 1;
        } else {
            own.emplace_back(argument);
        }
    }
    argv[kept] = nullptr;
    argc = kept;
    return own;
}

// A provider whose connections fail as reading this computer failed, so that the failure reaches
// the scan and its standard error report once there are windows to show it.
class FailedProvider : public tavrix::ManagementProvider {
public:
    explicit FailedProvider(std::exception_ptr failure) : failure_(std::move(failure)) {}
    std::unique_ptr<tavrix::ManagementConnection> openConnection(const std::string&) override {
        std::rethrow_exception(failure_);
    }

private:
    std::exception_ptr failure_;
};

void warnOnStandardError(const std::string& warning) { std::fprintf(stderr, "tavrix: warning: %s\n", warning.c_str()); }

// Reads this computer now, while the process may still read root's tables.
std::unique_ptr<tavrix::ManagementProvider> snapshotOfThisComputer() {
    try {
        return tavrix::makePlatformSnapshot({}, warnOnStandardError);
    } catch (const std::exception&) {
        return std::make_unique<FailedProvider>(std::current_exception());
    }
}

void printUsageError(const std::string& error) {
    std::fprintf(stderr, "%s\n%s\n", error.c_str(), ProgramOptions::usage(Program::tavrix).c_str());
}

// The program's options, taken out of argv; Qt's are left in it. A usage error ends the process.
ProgramOptions programOptions(int& argc, char** argv) {
    std::string usageError;
    auto options = ProgramOptions::parse(Program::tavrix, takeOwnArguments(argc, argv), usageError);
    if (!options) {
        printUsageError(usageError);
        std::exit(2);
    }
    return *options;
}

// --help or --version: the text on standard output, and nothing else happens.
bool answeredRequest(const ProgramOptions& options) {
    if (options.request == tavrix::ProgramRequest::run) return false;
    const bool help = options.request == tavrix::ProgramRequest::help;
    std::fputs((help ? ProgramOptions::help(Program::tavrix) : ProgramOptions::version(Program::tavrix)).c_str(), stdout);
    return true;
}

// Where the scan takes its answers from, or why a named file cannot be read: reported once there
// is an application to show the message box.
struct ScanSource {
    std::unique_ptr<tavrix::ManagementProvider> provider;
    std::exception_ptr unreadableFile;
};

// Root may read the full SMBIOS tables, so this runs before root is given up.
ScanSource scanSource(const ProgramOptions& options) {
    if (options.machineFile.empty() && options.sources.dumpFile.empty())
        return {geteuid() == 0 ? snapshotOfThisComputer() : tavrix::makePlatformProvider({}, warnOnStandardError), {}};
    try {
        return {options.provider(warnOnStandardError), {}};
    } catch (const std::exception&) {
        return {nullptr, std::current_exception()};
    }
}

// The browser must not run as root: started as root, the process becomes the user who ran sudo or
// pkexec before any window exists. With no such user it stays root and the returned reason keeps
// any browser from being created; empty when a browser may be created.
QString giveUpRoot() {
    if (geteuid() != 0) return {};
    std::vector<std::string> warnings;
    const auto user = tavrix::invokingUser(warnings);
    for (const auto& warning : warnings) warnOnStandardError(warning);
    if (!user) return QString::fromLatin1(tavrix::forms::browserRefusedAsRoot);
    if (const auto problem = tavrix::dropRootTo(*user)) {
        std::fprintf(stderr, "tavrix: cannot give up root for user %u: %s\n", static_cast<unsigned>(user->uid),
                     problem->c_str());
        std::exit(1);
    }
    return {};
}

// Qt and its page engine prepared before the application exists, and the application.
std::unique_ptr<TavrixApplication> startQt(int& argc, char** argv) {
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    TavrixApplication::installQuietMessages();
    return TavrixApplication::start(argc, argv);
}

// Whatever Qt did not take from the command line is no argument of this program: a usage error.
bool argumentsLeftOver() {
    const QStringList rest = QCoreApplication::arguments().mid(1);
    if (!rest.isEmpty())
        printUsageError("tavrix: unknown argument: " + tavrix::shownValue(rest.first().toLocal8Bit().toStdString(), false));
    return !rest.isEmpty();
}

// The classic Windows look of the main window, for the disclaimer, the splash and message boxes
// too, unless the user asked Qt for a style. The process ends where the screen flow says, not when
// Qt sees no visible window: the main window is loaded but hidden while the splash goes.
void setLook(bool styleRequested) {
    QApplication::setQuitOnLastWindowClosed(false);
    if (!styleRequested) QApplication::setStyle(QStringLiteral("Windows"));
}

int runScreenFlow(const ScanSource& source, const QString& browserRefusal) {
    try {
        if (source.unreadableFile) std::rethrow_exception(source.unreadableFile);
    } catch (const std::exception& failure) {
        reportFailureAndExit(QString::fromUtf8(failure.what()));
    }
    try {
        ProgramWindows windows(*source.provider, systemDesktopServices(), tavrix::TextForm::fromCurrentLocale(),
                               browserRefusal, [] { QCoreApplication::exit(0); });
        windows.flow().start();
        return QApplication::exec();
    } catch (const std::exception& failure) {
        reportFailureAndExit(QString::fromUtf8(failure.what()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const ProgramOptions options = programOptions(argc, argv);
    if (answeredRequest(options)) return 0;
    const ScanSource source = scanSource(options);
    const QString browserRefusal = giveUpRoot();
    // The check's connection stays open until Qt has its own, so the X server never sees the
    // program leave in between.
    DisplayCheck display(argc, argv);
    if (const auto& problem = display.problem()) {
        std::fprintf(stderr, "tavrix: cannot open a display: %s\n", problem->c_str());
        return 1;
    }
    const bool styleRequested = qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE") || hasStyleArgument(argc, argv);
    const auto app = startQt(argc, argv);
    display.release();
    if (argumentsLeftOver()) return 2;
    setLook(styleRequested);
    return runScreenFlow(source, browserRefusal);
}
