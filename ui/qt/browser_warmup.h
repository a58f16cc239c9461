#pragma once

#include <QObject>
#include <memory>

class QEvent;
class QWebEnginePage;
class QWebEngineProfile;
class QWidget;

namespace tavrix::qt {

// Starts Qt WebEngine (its context and its helper processes) with a blank page of its own while
// the user reads the first window, so that the main window's browser later starts warm. It waits
// until that window has been painted; destroying it ends the page.
class BrowserWarmup : public QObject {
    Q_OBJECT
public:
    explicit BrowserWarmup(QWidget& firstWindow);
    ~BrowserWarmup() override;

    bool started() const { return page_ != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void start();

    QWidget* firstWindow_;
    QWebEngineProfile* profile_ = nullptr;
    QWebEnginePage* page_ = nullptr;
};

}  // namespace tavrix::qt
