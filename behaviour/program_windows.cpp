#include "behaviour/program_windows.h"

#include "behaviour/form1.h"

namespace tavrix::behaviour {

ProgramWindows::ProgramWindows(std::function<void()> endProcess)
    : endProcess_(std::move(endProcess)), flow_(*this) {}

ProgramWindows::~ProgramWindows() { destroyWindows(); }

void ProgramWindows::destroyWindows() {
    for (const Window window : {Window::Form1, Window::frmSplash, Window::Dialog}) slot(window).reset();
}

FlowWindow& ProgramWindows::window(Window window) {
    create(window);
    return *slot(window);
}

void ProgramWindows::create(Window window) {
    if (!slot(window)) slot(window) = make(window);
}

void ProgramWindows::show(Window window) { this->window(window).show(); }

void ProgramWindows::unload(Window window) {
    if (slot(window)) dispose(std::move(slot(window)));
}

bool ProgramWindows::isLoaded(Window window) const { return slot(window) && slot(window)->isLoaded(); }

std::string ProgramWindows::getTavrix() {
    return dynamic_cast<MainWindow&>(window(Window::Form1)).behaviour().getTavrix();
}

}  // namespace tavrix::behaviour
