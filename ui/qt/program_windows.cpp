#include "program_windows.h"

#include <QCoreApplication>
#include <QEvent>

#include "browser_warmup.h"
#include "dialog.h"
#include "form1.h"
#include "frm_splash.h"

namespace tavrix {

ProgramWindows::ProgramWindows(ManagementProvider& provider, std::function<void()> endProcess,
                               ui::DesktopServices services)
    : provider_(provider), endProcess_(std::move(endProcess)), services_(services), flow_(*this) {}

ProgramWindows::~ProgramWindows() {
    delete form1_;
    delete splash_;
    delete dialog_;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Dialog& ProgramWindows::dialog() {
    if (!dialog_) {
        dialog_ = new Dialog;
        connect(dialog_, &Dialog::okPressed, this, [this] { flow_.okPressed(); });
        connect(dialog_, &Dialog::cancelPressed, this, [this] { flow_.cancelPressed(); });
        connect(dialog_, &Dialog::closed, this, [this] { flow_.dialogClosed(); });
        warmup_ = std::make_unique<BrowserWarmup>(*dialog_);
    }
    return *dialog_;
}

frmSplash& ProgramWindows::splash() {
    if (!splash_) {
        splash_ = new frmSplash;
        connect(splash_, &frmSplash::timerTicked, this, [this] { flow_.splashTick(); });
        connect(splash_, &frmSplash::keyPressed, this, [this] { flow_.splashKeyPressed(); });
    }
    return *splash_;
}

Form1& ProgramWindows::form1() {
    if (!form1_) {
        form1_ = new Form1(provider_, services_);
        connect(form1_, &Form1::closed, this, [this] { flow_.mainWindowClosed(); });
    }
    return *form1_;
}

bool ProgramWindows::exists(Window window) const { return widget(window) != nullptr; }

QWidget* ProgramWindows::widget(Window window) const {
    switch (window) {
        case Window::Dialog: return dialog_;
        case Window::frmSplash: return splash_;
        case Window::Form1: return form1_;
    }
    return nullptr;
}

void ProgramWindows::create(Window window) {
    switch (window) {
        case Window::Dialog: dialog(); break;
        case Window::frmSplash: splash(); break;
        case Window::Form1: form1(); break;
    }
}

void ProgramWindows::show(Window window) {
    create(window);
    widget(window)->show();
    if (window == Window::Form1) warmup_.reset();
}

// The window may be unloaded from one of its own handlers, so it goes once that has returned;
// from now on it is hidden, not loaded, and a new reference would create a new object.
void ProgramWindows::unload(Window window) {
    QWidget* unloaded = widget(window);
    if (!unloaded) return;
    unloaded->hide();
    unloaded->disconnect(this);
    unloaded->deleteLater();
    switch (window) {
        case Window::Dialog: dialog_ = nullptr; break;
        case Window::frmSplash: splash_ = nullptr; break;
        case Window::Form1: form1_ = nullptr; break;
    }
}

bool ProgramWindows::isLoaded(Window window) const {
    switch (window) {
        case Window::Dialog: return dialog_ && dialog_->isLoaded();
        case Window::frmSplash: return splash_ && splash_->isLoaded();
        case Window::Form1: return form1_ && form1_->isLoaded();
    }
    return false;
}

std::string ProgramWindows::getTavrix() { return form1().getTavrix().toStdString(); }

void ProgramWindows::endProcess() {
    warmup_.reset();
    endProcess_();
}

}  // namespace tavrix
