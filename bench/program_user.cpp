#include "bench/program_user.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <stdexcept>

ProgramUser::ProgramUser() : home_(QDir::tempPath() + QStringLiteral("/tavrix-bench-XXXXXX")) {
    if (!home_.isValid()) throw std::runtime_error("cannot make a home folder for the programs");
    if (geteuid() != 0) return;
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) throw std::runtime_error("running as root, but there is no user nobody to run the programs as");
    uid_ = nobody->pw_uid;
    gid_ = nobody->pw_gid;
    if (chown(QFile::encodeName(home_.path()).constData(), *uid_, gid_) != 0)
        throw std::runtime_error("cannot give the home folder to nobody");
}

void ProgramUser::apply(QProcess& process, const XvfbSession& session) const {
    QProcessEnvironment environment = session.environment();
    for (const QString& key : environment.keys())
        if (key.startsWith(QStringLiteral("XDG_")) || key.startsWith(QStringLiteral("DBUS_"))) environment.remove(key);
    for (const char* key : {"HOME", "XDG_RUNTIME_DIR", "TMPDIR"})
        environment.insert(QString::fromLatin1(key), home_.path());
    environment.remove(QStringLiteral("SUDO_USER"));
    if (uid_) {
        environment.insert(QStringLiteral("USER"), QStringLiteral("nobody"));
        process.setChildProcessModifier([uid = *uid_, gid = gid_] {
            if (setsid() < 0 || setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) _exit(127);
        });
    } else {
        process.setChildProcessModifier([] { setsid(); });
    }
    process.setProcessEnvironment(environment);
}
