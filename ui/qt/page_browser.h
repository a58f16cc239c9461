#pragma once

class QUrl;
class QWebEngineView;

namespace tavrix::qt {

// Loads pages in an embedded browser.
class PageBrowser {
public:
    virtual ~PageBrowser() = default;
    // Starts loading the address in the view; returns without waiting for the page.
    virtual void navigate(QWebEngineView& view, const QUrl& address) = 0;
};

}  // namespace tavrix::qt
