#include "ui/qt/program_windows.h"

#include <QCoreApplication>
#include <QEvent>

#include "ui/qt/browser_warmup.h"
#include "ui/qt/dialog.h"
#include "ui/qt/form1.h"
#include "ui/qt/frm_splash.h"

namespace tavrix::qt {

ProgramWindows::ProgramWindows(ManagementProvider& provider, DesktopServices services, TextForm textForm,
                               QString browserRefusal, std::function<void()> endProcess)
    : behaviour::ProgramWindows(std::move(endProcess)),
      provider_(provider),
      services_(services),
      textForm_(std::move(textForm)),
      browserRefusal_(std::move(browserRefusal)) {}

ProgramWindows::~ProgramWindows() {
    destroyWindows();
    warmup_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Dialog& ProgramWindows::dialog() { return static_cast<Dialog&>(window(Window::Dialog)); }

frmSplash& ProgramWindows::splash() { return static_cast<frmSplash&>(window(Window::frmSplash)); }

Form1& ProgramWindows::form1() { return static_cast<Form1&>(window(Window::Form1)); }

std::unique_ptr<behaviour::FlowWindow> ProgramWindows::make(Window window) {
    switch (window) {
        case Window::Dialog: {
            auto made = std::make_unique<Dialog>();
            connect(made.get(), &Dialog::okPressed, this, [this] { flow().okPressed(); });
            connect(made.get(), &Dialog::cancelPressed, this, [this] { flow().cancelPressed(); });
            connect(made.get(), &Dialog::closed, this, [this] { flow().dialogClosed(); });
            // No browser at all where the browser is refused.
            if (browserRefusal_.isEmpty()) warmup_ = std::make_unique<BrowserWarmup>(*made);
            return made;
        }
        case Window::frmSplash: {
            auto made = std::make_unique<frmSplash>();
            connect(made.get(), &frmSplash::timerTicked, this, [this] { flow().splashTick(); });
            connect(made.get(), &frmSplash::keyPressed, this, [this] { flow().splashKeyPressed(); });
            return made;
        }
        case Window::Form1: {
            auto made = std::make_unique<Form1>(provider_, services_, textForm_, browserRefusal_);
            connect(made.get(), &Form1::closed, this, [this] { flow().mainWindowClosed(); });
            return made;
        }
    }
    return nullptr;
}

// Hidden now, deleted by the event loop: a new reference meanwhile creates a new object.
void ProgramWindows::dispose(std::unique_ptr<behaviour::FlowWindow> window) {
    auto* widget = dynamic_cast<QWidget*>(window.release());
    widget->hide();
    widget->disconnect(this);
    widget->deleteLater();
}

void ProgramWindows::show(Window window) {
    behaviour::ProgramWindows::show(window);
    if (window == Window::Form1) warmup_.reset();
}

void ProgramWindows::endProcess() {
    warmup_.reset();
    behaviour::ProgramWindows::endProcess();
}

}  // namespace tavrix::qt
