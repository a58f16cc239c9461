#include "ui/qt/chat_launcher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace tavrix::qt {

QString chatProgram() { return QStringLiteral("xdg-open"); }

bool startDetachedProcess(const QString& program, const QStringList& arguments) {
    const QString found = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (found.isEmpty()) return false;
    return QProcess::startDetached(found, arguments);
}

}  // namespace tavrix::qt
