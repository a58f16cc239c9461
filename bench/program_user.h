#pragma once

#include <sys/types.h>

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <optional>

#include "tests/ui/qt/xvfb/xvfb_session.h"

// The user the programs run as: nobody when the benchmark runs as root, otherwise the benchmark's
// own user; either way with a home, runtime and temporary folder of their own that goes with the
// benchmark, so that what the programs write there stays out of the user's home.
class ProgramUser {
public:
    ProgramUser();
    const char* name() const { return uid_ ? "nobody" : "the benchmark's own user"; }
    // The programs' home folder, theirs to read and write.
    QString folder() const { return home_.path(); }

    // Sets the process up to start as this user, on the session's display, leading a session of
    // its own.
    void apply(QProcess& process, const XvfbSession& session) const;

private:
    QTemporaryDir home_;
    std::optional<uid_t> uid_;
    gid_t gid_ = 0;
};
