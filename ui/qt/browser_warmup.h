#pragma once

#include <QObject>

#include <memory>

class QEvent;
class QWidget;

namespace tavrix::qt {

class PageBrowser;

// Loads the page engine and starts it (its context and helper processes, with a blank page of its
// own) once the first window has been painted, while the user reads it, so that the main window's
// browser later starts warm. Destroying it ends the blank page.
class BrowserWarmup : public QObject {
    Q_OBJECT
public:
    BrowserWarmup(QWidget& firstWindow, PageBrowser& browser);
    ~BrowserWarmup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();

    QWidget* firstWindow_;
    PageBrowser& browser_;
    std::unique_ptr<QObject> page_;
};

}  // namespace tavrix::qt
