#include "offscreen_application.h"

#include <QApplication>
#include <QFont>

QApplication& offscreenApplication() {
    static int argc = 1;
    static char name[] = "tavrix-test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* application = [] {
        auto* app = new QApplication(argc, argv);
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        QFont font(QStringLiteral("MS Sans Serif"));
        font.setPointSizeF(8.25);
        QApplication::setFont(font);
        return app;
    }();
    return *application;
}
