#include "chat_launcher.h"

#include <QString>
#include <QStringList>

#include <windows.h>

#include <string>

namespace tavrix::ui {

QString chatProgram() { return QStringLiteral("C:\\Program Files\\Internet Explorer\\iexplore.exe"); }

QStringList chatArguments() { return {QString::fromLatin1(chatAddress)}; }

bool startDetachedProcess(const QString& program, const QStringList& arguments) {
    QString line = program;
    for (const QString& argument : arguments) line += QLatin1Char(' ') + argument;
    std::wstring commandLine = line.toStdWString();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;  // 1
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace tavrix::ui
