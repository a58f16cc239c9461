#pragma once

#include <QString>

#include <functional>
#include <memory>

class QObject;
class QUrl;
class QWidget;

namespace tavrix::qt {

// What WB tells the main window.
struct PageEvents {
    std::function<void()> loadFinished;
    // A link or script asked for a new window; no window is made.
    std::function<void(const QUrl& address)> newWindow;
    // Where to save a download, asked from the suggested path; empty: the download is cancelled.
    std::function<QString(const QString& suggested)> saveAs;
};

// The embedded browser. The program does not link Qt WebEngine: it lives in the page module,
// loaded once the first window has been painted, so that the disclaimer comes up as fast as a
// bare Qt window and the engine loads while the user reads it.
class PageBrowser {
public:
    virtual ~PageBrowser() = default;
    // WB in the frame: a browser with an off-the-record profile of its own, so nothing goes to
    // disk. nullptr when no browser can be made; failure() says why.
    virtual QWidget* create(QWidget* frame, PageEvents events) = 0;
    // Starts loading the address in a browser create() made; returns without waiting for the page.
    virtual void navigate(QWidget& view, const QUrl& address) = 0;
    // Starts the engine and its helper processes with a blank page of its own, so that a browser
    // made later starts warm; the page lasts as long as the returned object. nullptr: no engine.
    virtual std::unique_ptr<QObject> warmUp() = 0;
    // Why no browser can be made; empty while one can.
    virtual QString failure() const { return {}; }
};

}  // namespace tavrix::qt
