#include "ui/qt/browser_warmup.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "ui/qt/page_browser.h"

namespace tavrix::qt {

BrowserWarmup::BrowserWarmup(QWidget& firstWindow, PageBrowser& browser)
    : firstWindow_(&firstWindow), browser_(browser) {
    firstWindow.installEventFilter(this);
}

BrowserWarmup::~BrowserWarmup() = default;

bool BrowserWarmup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == firstWindow_ && event->type() == QEvent::Paint) {
        firstWindow_->removeEventFilter(this);
        QTimer::singleShot(0, this, &BrowserWarmup::start);
    }
    return false;
}

void BrowserWarmup::start() {
    if (!page_) page_ = browser_.warmUp();
}

}  // namespace tavrix::qt
