#include "ui/qt/module_browser.h"

#include <QObject>

#include <cstdio>

#include "ui/qt/module_loader.h"

namespace tavrix::qt {

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
    if (tried_) return engine_;
    tried_ = true;
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
