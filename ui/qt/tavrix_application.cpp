#include "ui/qt/tavrix_application.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "ui/qt/accessibility.h"
#include "ui/qt/fixed_size_windows.h"
#include "ui/qt/message_box.h"

namespace tavrix::qt {

void reportFailureAndExit(const QString& failure) {
    std::fprintf(stderr, "tavrix: %s\n", failure.toLocal8Bit().constData());
    showMessageBox(failure);
    std::fflush(nullptr);
    std::_Exit(1);
}

namespace {

// mkdir(2) fails in /proc whoever runs it, so Qt can create no runtime folder in either.
constexpr char noRuntimeFolder[] = "/proc/self/tavrix-runtime";
constexpr char noTemporaryFolder[] = "/proc/self";

#ifndef _WIN32
// A folder the freedesktop rules accept as this user's runtime folder: the user's own, mode 0700.
bool isOwnRuntimeFolder(const char* path) {
    struct stat status {};
    return path && *path == '/' && stat(path, &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & 0777) == 0700;
}

bool isOwnSocket(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) && status.st_uid == geteuid();
}
#endif

QtMessageHandler defaultHandler = nullptr;
bool applicationStarted = false;  // set once QApplication's constructor has returned
QByteArray displayFailure;

void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: ")) && message.contains(QLatin1String("'/proc/"))) {
        return;
    }
    if (type == QtWarningMsg && context.category && std::strcmp(context.category, "qt.qpa.xcb") == 0 &&
        message.startsWith(QLatin1String("could not connect to display"))) {
        displayFailure = message.toLocal8Bit();
        return;
    }
    if (type == QtFatalMsg && !applicationStarted) {
        // Qt found no usable display after all (the check before it passed): the same clean end.
        const QByteArray reason = displayFailure.isEmpty() ? message.section(QLatin1Char('\n'), 0, 0).toLocal8Bit()
                                                           : displayFailure;
        std::fprintf(stderr, "tavrix: cannot open a display: %s\n", reason.constData());
        std::fflush(nullptr);
        std::_Exit(1);
    }
    if (defaultHandler) {
        defaultHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

bool TavrixApplication::prepareWebEngine() {
    // The program writes no files, not even Qt's or Mesa's cache of compiled shaders.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qputenv("MESA_GLSL_CACHE_DISABLE", "true");
    enablePageAccessibility();
    bool noRuntime = false;
#ifndef _WIN32
    if (!isOwnRuntimeFolder(std::getenv("XDG_RUNTIME_DIR"))) {
        // The compositor's socket stays where it was found: its name becomes a path.
        const QByteArray wayland = qgetenv("WAYLAND_DISPLAY"), runtime = qgetenv("XDG_RUNTIME_DIR");
        if (!wayland.isEmpty() && !wayland.startsWith('/') && !runtime.isEmpty())
            qputenv("WAYLAND_DISPLAY", runtime + '/' + wayland);
        const std::string own = "/run/user/" + std::to_string(geteuid());
        noRuntime = !isOwnRuntimeFolder(own.c_str());
        qputenv("XDG_RUNTIME_DIR", noRuntime ? noRuntimeFolder : own.c_str());
    }
    // Without an address, the bus library would start a session bus with dbus-launch.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        const std::string bus = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString() + "/bus";
        qputenv("DBUS_SESSION_BUS_ADDRESS", isOwnSocket(bus) ? ("unix:path=" + bus).c_str() : "unix:path=/dev/null");
    }
#endif
    return noRuntime;
}

std::optional<QByteArray> TavrixApplication::hideTemporaryFolder() {
    std::optional<QByteArray> folder;
    if (qEnvironmentVariableIsSet("TMPDIR")) folder = qgetenv("TMPDIR");
    qputenv("TMPDIR", noTemporaryFolder);
    return folder;
}

void TavrixApplication::restoreTemporaryFolder(const std::optional<QByteArray>& folder) {
    if (folder) {
        qputenv("TMPDIR", *folder);
    } else {
        qunsetenv("TMPDIR");
    }
}

std::unique_ptr<TavrixApplication> TavrixApplication::start(int& argc, char** argv) {
    const bool noRuntimeFolder = prepareWebEngine();
    std::optional<QByteArray> temporaryFolder;
    if (noRuntimeFolder) temporaryFolder = hideTemporaryFolder();
    auto application = std::make_unique<TavrixApplication>(argc, argv);
    if (noRuntimeFolder) restoreTemporaryFolder(temporaryFolder);
    return application;
}

void TavrixApplication::installQuietMessages() {
    QtMessageHandler previous = qInstallMessageHandler(quietMessages);
    if (previous != quietMessages) defaultHandler = previous;
}

TavrixApplication::TavrixApplication(int& argc, char** argv) : QApplication(argc, argv) { applicationStarted = true; }

bool TavrixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        if (appliesWindowConfiguration(receiver, event))
            return deliverKeepingFixedSizes([&] { return QApplication::notify(receiver, event); });
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        reportFailureAndExit(QString::fromUtf8(failure.what()));
    } catch (...) {
        reportFailureAndExit(QStringLiteral("Unknown failure"));
    }
}

}  // namespace tavrix::qt
