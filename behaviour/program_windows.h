#pragma once

#include <array>
#include <functional>
#include <memory>

#include "behaviour/screen_flow.h"

namespace tavrix::behaviour {

// One of the program's windows as the flow moves it.
class FlowWindow {
public:
    virtual ~FlowWindow() = default;
    // Loads the window if it is not, shows it modeless and makes it the active window.
    virtual void show() = 0;
    virtual bool isLoaded() const = 0;
};

class Form1;

// The main window as the flow moves it: its behaviour runs the scan.
class MainWindow : public FlowWindow {
public:
    virtual Form1& behaviour() = 0;
};

// The program's three windows, each at most once: a window's object is made on its first
// reference and let go when the flow unloads it. The screen flow drives them and the main window's
// behaviour runs the scan; a front end makes each window with its events wired to flow(), and
// disposes of the windows unloaded.
class ProgramWindows : public FlowWindows {
public:
    explicit ProgramWindows(std::function<void()> endProcess);
    ~ProgramWindows() override;

    ScreenFlow& flow() { return flow_; }
    // Whether the window's object exists; asking does not create it.
    bool exists(Window window) const { return slot(window) != nullptr; }

    void create(Window window) override;
    void show(Window window) override;
    void unload(Window window) override;
    bool isLoaded(Window window) const override;
    std::string getTavrix() final;
    void endProcess() override { endProcess_(); }

protected:
    // The window's object, made first if needed.
    FlowWindow& window(Window window);
    // Destroys every window's object, the main window first; for the front end's destructor.
    void destroyWindows();

    // Makes the window's object, not yet loaded, its events wired to flow(); Form1's is a MainWindow.
    virtual std::unique_ptr<FlowWindow> make(Window window) = 0;
    // Takes a window just unloaded, which may be the one whose handler is running: its window goes
    // now, its object once that handler has returned.
    virtual void dispose(std::unique_ptr<FlowWindow> window) = 0;

private:
    const std::unique_ptr<FlowWindow>& slot(Window window) const { return windows_[static_cast<std::size_t>(window)]; }
    std::unique_ptr<FlowWindow>& slot(Window window) { return windows_[static_cast<std::size_t>(window)]; }

    std::function<void()> endProcess_;
    ScreenFlow flow_;
    std::array<std::unique_ptr<FlowWindow>, 3> windows_;  // by Window
};

}  // namespace tavrix::behaviour
