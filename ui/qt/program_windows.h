#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

#include "desktop_services.h"
#include "screen_flow.h"

class QWidget;

namespace tavrix {

class BrowserWarmup;
class Dialog;
class Form1;
class ManagementProvider;
class frmSplash;

// The program's three windows, each at most once: dialog(), splash() and form1() are the only way
// to reach them and create the object on first reference; unload() destroys it. The screen flow
// drives them, and their events drive the flow.
class ProgramWindows : public QObject, public FlowWindows {
    Q_OBJECT
public:
    // The provider answers Form1's scan and the services carry out its commands; endProcess ends
    // the process at once (or stands in for that).
    ProgramWindows(ManagementProvider& provider, std::function<void()> endProcess,
                   ui::DesktopServices services = ui::systemDesktopServices());
    ~ProgramWindows() override;

    ScreenFlow& flow() { return flow_; }

    Dialog& dialog();
    frmSplash& splash();
    Form1& form1();
    // Whether the window's object exists; asking does not create it.
    bool exists(Window window) const;

    void create(Window window) override;
    void show(Window window) override;
    void unload(Window window) override;
    bool isLoaded(Window window) const override;
    std::string getTavrix() override;
    void endProcess() override;

private:
    QWidget* widget(Window window) const;

    ManagementProvider& provider_;
    std::function<void()> endProcess_;
    ui::DesktopServices services_;
    ScreenFlow flow_;
    QPointer<Dialog> dialog_;
    QPointer<frmSplash> splash_;
    QPointer<Form1> form1_;
    std::unique_ptr<BrowserWarmup> warmup_;
};

}  // namespace tavrix
