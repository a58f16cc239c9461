#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "behaviour/program_windows.h"
#include "scan/text_form.h"
#include "ui/qt/desktop_services.h"

namespace tavrix {
class ManagementProvider;
}  // namespace tavrix

namespace tavrix::qt {

class BrowserWarmup;
class Dialog;
class Form1;
class frmSplash;

// The program's three windows as Qt widgets: dialog(), splash() and form1() are the only way to
// reach them and create the object on first reference. An unloaded window is hidden at once and
// deleted once the handler that unloaded it has returned.
class ProgramWindows : public QObject, public behaviour::ProgramWindows {
    Q_OBJECT
public:
    // The provider answers Form1's scan, the services carry out its commands and textForm writes
    // its values; browserRefusal (empty: none) keeps any browser from being created. endProcess
    // ends the process at once (or stands in for that).
    ProgramWindows(ManagementProvider& provider, DesktopServices services, TextForm textForm, QString browserRefusal,
                   std::function<void()> endProcess);
    ~ProgramWindows() override;

    Dialog& dialog();
    frmSplash& splash();
    Form1& form1();

    // Showing the main window, or ending, lets the browser's warm-up go.
    void show(Window window) override;
    void endProcess() override;

protected:
    std::unique_ptr<behaviour::FlowWindow> make(Window window) override;
    void dispose(std::unique_ptr<behaviour::FlowWindow> window) override;

private:
    std::unique_ptr<BrowserWarmup> warmup_;  // while the first window is read
    ManagementProvider& provider_;
    DesktopServices services_;
    TextForm textForm_;
    QString browserRefusal_;
};

}  // namespace tavrix::qt
