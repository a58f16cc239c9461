#include "chat_launcher.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace tavrix::ui {

QString chatProgram() { return QStringLiteral("xdg-open"); }

QStringList chatArguments() { return {QString::fromLatin1(chatAddress)}; }

QStringList pageArguments(const QUrl& address) { return {address.toString(QUrl::FullyEncoded)}; }

bool startDetachedProcess(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

}  // namespace tavrix::ui
