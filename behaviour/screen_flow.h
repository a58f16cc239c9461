#pragma once

#include <string>

namespace tavrix {

// The program's three windows.
enum class Window { Dialog, frmSplash, Form1 };

enum class FlowState { Disclaimer, Scanning, Results, Ended };

// The window operations the flow calls; the real windows, or a test's fake, carry them out.
class FlowWindows {
public:
    virtual ~FlowWindows() = default;
    // Creates the window's object without showing it; does nothing when it exists.
    virtual void create(Window window) = 0;
    // Shows the window modeless, creating and loading it first if needed.
    virtual void show(Window window) = 0;
    // Unloads (destroys) the window; does nothing when it is not loaded.
    virtual void unload(Window window) = 0;
    virtual bool isLoaded(Window window) const = 0;
    // Runs the scan on Form1 and returns its result; a failed scan throws.
    virtual std::string getTavrix() = 0;
    // Ends the process at once.
    virtual void endProcess() = 0;
};

// The start-up and screen flow: disclaimer, scanning splash, main window. Events that do not
// belong to the current state are ignored.
class ScreenFlow {
public:
    explicit ScreenFlow(FlowWindows& windows) : windows_(windows) {}

    // Process start: create, load and show the disclaimer.
    void start();
    void okPressed();
    void cancelPressed();
    void dialogClosed();
    // A tick of the splash's timer. A failed scan throws out of here, leaving the flow in Scanning.
    void splashTick();
    void splashKeyPressed();
    void mainWindowClosed();

    FlowState state() const { return state_; }

private:
    void unloadAndEndIfLast(Window window);

    FlowWindows& windows_;
    FlowState state_ = FlowState::Ended;
};

}  // namespace tavrix
