#include "ui/qt/module_browser.h"

#include <QCoreApplication>
#include <QObject>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <cstdio>

#include "ui/qt/module_loader.h"

QT_BEGIN_NAMESPACE
// QtGui's global share context, which Qt WebEngine's contexts share with (exported by QtGui).
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
QT_END_NAMESPACE

namespace tavrix::qt {

namespace {

QOpenGLContext* sharedContext = nullptr;

void deleteSharedContext() {
    qt_gl_set_global_share_context(nullptr);
    delete sharedContext;
    sharedContext = nullptr;
}

// Qt WebEngine draws with OpenGL contexts that share one global context. Asked before the
// application exists (AA_ShareOpenGLContexts), Qt makes that context as the application starts,
// which loads the OpenGL driver (Mesa's with LLVM, about as long as the rest of the start) before
// the first window; the program makes the same context here, just before the engine loads. A
// context that cannot be made leaves the engine drawing without the GPU.
void shareOpenGlContexts() {
    if (qt_gl_global_share_context()) return;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    sharedContext = new QOpenGLContext;
    sharedContext->setFormat(QSurfaceFormat::defaultFormat());
    sharedContext->create();
    qt_gl_set_global_share_context(sharedContext);
    // Before the application takes the platform's OpenGL support down.
    qAddPostRoutine(deleteSharedContext);
}

}  // namespace

QWidget* ModuleBrowser::create(QWidget* frame, PageEvents events) {
    PageBrowser* engine = loaded();
    return engine ? engine->create(frame, std::move(events)) : nullptr;
}

void ModuleBrowser::navigate(QWidget& view, const QUrl& address) {
    if (PageBrowser* engine = loaded()) engine->navigate(view, address);
}

std::unique_ptr<QObject> ModuleBrowser::warmUp() {
    PageBrowser* engine = loaded();
    return engine ? engine->warmUp() : nullptr;
}

PageBrowser* ModuleBrowser::loaded() {
    if (engine_ || !failure_.isEmpty()) return engine_;  // loaded, or tried and failed
    shareOpenGlContexts();
    const ModuleSymbol entry = loadModuleSymbol(modulePath_, "tavrix_page_browser");
    if (entry.address) {
        engine_ = reinterpret_cast<PageBrowser* (*)()>(entry.address)();
    } else {
        failure_ = QStringLiteral("The page cannot be shown: its browser did not load (%1).")
                       .arg(QString::fromLocal8Bit(entry.failure.c_str()));
        std::fprintf(stderr, "tavrix: %s\n", failure_.toLocal8Bit().constData());
    }
    return engine_;
}

}  // namespace tavrix::qt
