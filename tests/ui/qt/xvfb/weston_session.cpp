#include "tests/ui/qt/xvfb/weston_session.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace {

bool accepts(const QString& path) {
    const QByteArray bytes = path.toLocal8Bit();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (bytes.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()) + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool reached =
        socket >= 0 && ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (socket >= 0) ::close(socket);
    return reached;
}

}  // namespace

WestonSession::WestonSession() : x_(std::make_unique<XvfbSession>()) {
    if (!runtime_.isValid()) throw std::runtime_error("cannot make weston's runtime folder");
    socket_ = QStringLiteral("tavrix-test");
    weston_ = std::make_unique<QProcess>();
    QProcessEnvironment environment = x_->environment();
    environment.insert("XDG_RUNTIME_DIR", runtime_.path());
    weston_->setProcessEnvironment(environment);
    weston_->setStandardOutputFile(QProcess::nullDevice());
    weston_->setStandardErrorFile(QProcess::nullDevice());
    weston_->start("weston", {"--backend=x11-backend.so", "--socket=" + socket_, "--width=1280", "--height=1024",
                              "--use-pixman", "--no-config", "--idle-time=0"});
    if (!weston_->waitForStarted(10000)) throw std::runtime_error("cannot start weston (run scripts/install-deps.sh)");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!accepts(runtime_.filePath(socket_))) {
        if (weston_->state() == QProcess::NotRunning || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("weston did not open its socket");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Keys go to the X window under the pointer: weston's, which covers the screen.
    x_->xdotool({"mousemove", "1279", "1023"});
}

WestonSession::~WestonSession() {
    weston_->terminate();
    if (!weston_->waitForFinished(10000)) weston_->kill();
    weston_->waitForFinished(5000);
}

QProcessEnvironment WestonSession::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert("WAYLAND_DISPLAY", socket_);
    environment.insert("XDG_RUNTIME_DIR", runtime_.path());
    return environment;
}

QByteArray WestonSession::clipboard() {
    QProcess paste;
    paste.setProcessEnvironment(environment());
    paste.start("wl-paste", {"--no-newline"});
    if (!paste.waitForFinished(10000)) {
        paste.kill();
        paste.waitForFinished();
        return {};
    }
    return paste.exitCode() == 0 ? paste.readAllStandardOutput() : QByteArray();
}
