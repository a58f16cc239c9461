#include "ui/qt/browser_warmup.h"

#include <QEvent>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWidget>

namespace tavrix::qt {

BrowserWarmup::BrowserWarmup(QWidget& firstWindow) : firstWindow_(&firstWindow) {
    firstWindow.installEventFilter(this);
}

BrowserWarmup::~BrowserWarmup() {
    delete page_;
    delete profile_;
}

bool BrowserWarmup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == firstWindow_ && event->type() == QEvent::Paint) {
        firstWindow_->removeEventFilter(this);
        QTimer::singleShot(0, this, &BrowserWarmup::start);
    }
    return false;
}

void BrowserWarmup::start() {
    if (page_) return;
    // Off the record, like the main window's own profile: nothing goes to disk.
    profile_ = new QWebEngineProfile;
    page_ = new QWebEnginePage(profile_);
    page_->load(QUrl(QStringLiteral("about:blank")));
}

}  // namespace tavrix::qt
