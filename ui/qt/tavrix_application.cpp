#include "tavrix_application.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "message_box.h"

namespace tavrix {

void reportFailureAndExit(const QString& failure) {
    ui::showMessageBox(failure);
    std::fflush(nullptr);
    std::_Exit(1);
}

int& TavrixApplication::prepareWebEngine(int& argc) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The program writes no files, not even Qt's cache of compiled shaders.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
#ifndef _WIN32
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    return argc;
}

TavrixApplication::TavrixApplication(int& argc, char** argv)
    : QApplication(prepareWebEngine(argc), argv) {}

bool TavrixApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        reportFailureAndExit(QString::fromUtf8(failure.what()));
    } catch (...) {
        reportFailureAndExit(QStringLiteral("Unknown failure"));
    }
}

}  // namespace tavrix
