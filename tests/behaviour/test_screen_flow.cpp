#include "behaviour/screen_flow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <stdexcept>

namespace {

using namespace tavrix;

// Windows that log every operation and hold the scan results to give.
struct FakeWindows : FlowWindows {
    std::vector<std::string> log;
    std::set<Window> existing, loaded, visible;
    std::vector<std::string> results{"Success"};

    static std::string nameOf(Window w) { return std::array{"Dialog", "frmSplash", "Form1"}[static_cast<int>(w)]; }
    void create(Window w) override {
        if (existing.insert(w).second) log.push_back("create " + nameOf(w));
    }
    void show(Window w) override {
        existing.insert(w);
        loaded.insert(w);
        visible.insert(w);
        log.push_back("show " + nameOf(w));
        EXPECT_FALSE(visible.count(Window::Form1) && visible.count(Window::frmSplash));
    }
    void unload(Window w) override {
        if (!existing.erase(w)) return;
        loaded.erase(w);
        visible.erase(w);
        log.push_back("unload " + nameOf(w));
    }
    bool isLoaded(Window w) const override { return loaded.count(w) != 0; }
    std::string getTavrix() override {
        loaded.insert(Window::Form1);  // the scan's first use of a control loads the window
        log.push_back("getTavrix");
        EXPECT_FALSE(visible.count(Window::Form1)) << "Form1 must not be shown before the scan succeeded";
        std::string result = results.front();
        if (results.size() > 1) results.erase(results.begin());
        if (result == "throw") throw std::runtime_error("scan failed");
        return result;
    }
    void endProcess() override { log.push_back("end"); }
};

using Event = void (ScreenFlow::*)();
constexpr Event ok = &ScreenFlow::okPressed, cancel = &ScreenFlow::cancelPressed,
                closeDialog = &ScreenFlow::dialogClosed, tick = &ScreenFlow::splashTick,
                key = &ScreenFlow::splashKeyPressed, closeMain = &ScreenFlow::mainWindowClosed;

// Each event, then the state it leaves (D, S, R, E for Disclaimer, Scanning, Results, Ended; in lower
// case when the event threw) and the whole log; events after the end, or a late tick, change nothing.
TEST(ScreenFlow, EachPathThroughTheWindowsLogsExactlyItsSteps) {
    const std::vector<std::string> splash = {"create Dialog", "show Dialog", "create frmSplash", "show frmSplash",
                                             "unload Dialog"};
    auto after = [&splash](std::vector<std::string> more) {
        more.insert(more.begin(), splash.begin(), splash.end());
        return more;
    };
    const struct {
        const char* what;
        std::vector<std::string> results;
        std::vector<Event> events;
        std::string states;
        std::vector<std::string> log;
    } cases[] = {
        {"OK, then a scan that succeeds", {"Success"}, {ok, tick, tick, closeMain}, "SRRE",
         after({"create Form1", "getTavrix", "unload frmSplash", "show Form1", "unload Form1", "end"})},
        {"Cancel ends at once without unloading", {}, {cancel, ok}, "EE", {"create Dialog", "show Dialog", "end"}},
        {"closing the disclaimer", {}, {closeDialog}, "E", {"create Dialog", "show Dialog", "unload Dialog", "end"}},
        {"a key before the first tick", {}, {ok, key, tick}, "SEE", after({"unload frmSplash", "end"})},
        {"any result but Success scans again on the same window", {"success", "", "Success "}, {ok, tick, tick, tick},
         "SSSS", after({"create Form1", "getTavrix", "getTavrix", "getTavrix"})},
        {"a key after an unsuccessful scan takes the hidden Form1 along", {"Failed"}, {ok, tick, key}, "SSE",
         after({"create Form1", "getTavrix", "unload Form1", "unload frmSplash", "end"})},
        {"a failed scan propagates and never shows Form1", {"throw"}, {ok, tick}, "Ss",
         after({"create Form1", "getTavrix"})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWindows windows;
        if (!c.results.empty()) windows.results = c.results;
        ScreenFlow flow(windows);
        flow.start();
        EXPECT_EQ(flow.state(), FlowState::Disclaimer);
        std::string states;
        for (const Event event : c.events) {
            try {
                (flow.*event)();
                states += "DSRE"[static_cast<int>(flow.state())];
            } catch (const std::runtime_error&) {
                states += "dsre"[static_cast<int>(flow.state())];
            }
        }
        EXPECT_EQ(states, c.states);
        EXPECT_EQ(windows.log, c.log);
    }
}

}  // namespace
