// tavrix: the disclaimer, the scanning splash and the main window, over this computer or, with
// --machine FILE or --dump FILE, over a machine file or a table dump. Qt's standard arguments
// (-platform, -display, ...) work as usual.
#include <QLoggingCategory>
#include <QString>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "display_check.h"
#include "program_options.h"
#include "program_windows.h"
#include "tavrix_application.h"

namespace {

// Whether Qt's own -style argument is given ("-style NAME", "-style=NAME", "--style ...").
bool hasStyleArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (argument.starts_with("--")) argument.remove_prefix(1);
        if (argument == "-style" || argument.starts_with("-style=")) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto problem = tavrix::displayProblem(argc, argv)) {
        std::fprintf(stderr, "tavrix: cannot open a display: %s\n", problem->c_str());
        return 1;
    }
    const bool styleRequested = qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE") || hasStyleArgument(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    tavrix::TavrixApplication app(argc, argv);
    // The process ends where the screen flow says, not when Qt sees no visible window: the main
    // window is loaded but hidden while the splash goes.
    QApplication::setQuitOnLastWindowClosed(false);
    // The classic Windows look of the main window, for the disclaimer, the splash and message boxes
    // too, unless the user asked Qt for a style.
    if (!styleRequested) QApplication::setStyle(QStringLiteral("Windows"));
    std::string usageError;
    const auto options = tavrix::ProgramOptions::parse(std::vector<std::string>(argv + 1, argv + argc), usageError);
    if (!options) {
        std::fprintf(stderr, "%s\n%s\n", usageError.c_str(), tavrix::ProgramOptions::usage);
        return 2;
    }
    std::unique_ptr<tavrix::ManagementProvider> provider;
    try {
        provider = options->provider();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "tavrix: %s\n", failure.what());
        tavrix::reportFailureAndExit(QString::fromUtf8(failure.what()));
    }
    try {
        tavrix::ProgramWindows windows(*provider, [] { QCoreApplication::exit(0); });
        windows.flow().start();
        return QApplication::exec();
    } catch (const std::exception& failure) {
        tavrix::reportFailureAndExit(QString::fromUtf8(failure.what()));
    }
}
