#include "behaviour/screen_flow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace {

using namespace tavrix;
using ::testing::ElementsAre;

const char* nameOf(Window window) {
    switch (window) {
    case Window::Dialog: return "Dialog";
    case Window::frmSplash: return "frmSplash";
    case Window::Form1: return "Form1";
    }
    return "?";
}

// Windows that log every operation and hold the scan results to give.
struct FakeWindows : FlowWindows {
    std::vector<std::string> log;
    std::set<Window> existing, loaded, visible;
    std::vector<std::string> results{"Success"};
    bool ended = false;

    void create(Window w) override {
        if (existing.insert(w).second) log.push_back(std::string("create ") + nameOf(w));
    }
    void show(Window w) override {
        existing.insert(w);
        loaded.insert(w);
        visible.insert(w);
        log.push_back(std::string("show ") + nameOf(w));
        EXPECT_FALSE(visible.count(Window::Form1) && visible.count(Window::frmSplash));
    }
    void unload(Window w) override {
        if (!existing.count(w)) return;
        existing.erase(w);
        loaded.erase(w);
        visible.erase(w);
        log.push_back(std::string("unload ") + nameOf(w));
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
    void endProcess() override {
        ended = true;
        log.push_back("end");
    }
};

TEST(ScreenFlow, OkShowsTheSplashBeforeTheDisclaimerGoesThenTheScanLeadsToResults) {
    FakeWindows windows;
    ScreenFlow flow(windows);
    flow.start();
    EXPECT_EQ(flow.state(), FlowState::Disclaimer);
    flow.okPressed();
    EXPECT_EQ(flow.state(), FlowState::Scanning);
    flow.splashTick();
    EXPECT_EQ(flow.state(), FlowState::Results);
    EXPECT_THAT(windows.log, ElementsAre("create Dialog", "show Dialog", "create frmSplash", "show frmSplash",
                                         "unload Dialog", "create Form1", "getTavrix", "unload frmSplash",
                                         "show Form1"));
    flow.splashTick();  // a late tick changes nothing
    flow.mainWindowClosed();
    EXPECT_EQ(flow.state(), FlowState::Ended);
    EXPECT_EQ(windows.log.back(), "end");
}

TEST(ScreenFlow, CancelEndsAtOnceWithoutUnloadingAnything) {
    FakeWindows windows;
    ScreenFlow flow(windows);
    flow.start();
    flow.cancelPressed();
    EXPECT_EQ(flow.state(), FlowState::Ended);
    EXPECT_THAT(windows.log, ElementsAre("create Dialog", "show Dialog", "end"));
    flow.okPressed();
    EXPECT_EQ(windows.log.size(), 3u);
}

TEST(ScreenFlow, ClosingTheDisclaimerEndsWithoutAScan) {
    FakeWindows windows;
    ScreenFlow flow(windows);
    flow.start();
    flow.dialogClosed();
    EXPECT_EQ(flow.state(), FlowState::Ended);
    EXPECT_THAT(windows.log, ElementsAre("create Dialog", "show Dialog", "unload Dialog", "end"));
}

TEST(ScreenFlow, KeyBeforeTheFirstTickEndsWithoutCreatingTheMainWindow) {
    FakeWindows windows;
    ScreenFlow flow(windows);
    flow.start();
    flow.okPressed();
    flow.splashKeyPressed();
    EXPECT_EQ(flow.state(), FlowState::Ended);
    EXPECT_FALSE(windows.existing.count(Window::Form1));
    EXPECT_EQ(windows.log.back(), "end");
    flow.splashTick();
    EXPECT_EQ(std::count(windows.log.begin(), windows.log.end(), "getTavrix"), 0);
}

TEST(ScreenFlow, AnyResultButSuccessScansAgainOnTheSameWindow) {
    FakeWindows windows;
    windows.results = {"success", "", "Success "};
    ScreenFlow flow(windows);
    flow.start();
    flow.okPressed();
    for (int tick = 0; tick < 3; ++tick) {
        flow.splashTick();
        EXPECT_EQ(flow.state(), FlowState::Scanning);
        EXPECT_TRUE(windows.visible.count(Window::frmSplash));
    }
    EXPECT_EQ(std::count(windows.log.begin(), windows.log.end(), "create Form1"), 1);
    EXPECT_EQ(std::count(windows.log.begin(), windows.log.end(), "getTavrix"), 3);
    EXPECT_FALSE(windows.visible.count(Window::Form1));
}

TEST(ScreenFlow, KeyAfterAnUnsuccessfulScanTakesTheHiddenMainWindowAlong) {
    FakeWindows windows;
    windows.results = {"Failed"};
    ScreenFlow flow(windows);
    flow.start();
    flow.okPressed();
    flow.splashTick();
    flow.splashKeyPressed();
    EXPECT_EQ(flow.state(), FlowState::Ended);
    EXPECT_TRUE(windows.ended);
    EXPECT_TRUE(windows.loaded.empty());
}

TEST(ScreenFlow, AFailedScanPropagatesAndNeverShowsTheMainWindow) {
    FakeWindows windows;
    windows.results = {"throw"};
    ScreenFlow flow(windows);
    flow.start();
    flow.okPressed();
    EXPECT_THROW(flow.splashTick(), std::runtime_error);
    EXPECT_EQ(flow.state(), FlowState::Scanning);
    EXPECT_FALSE(windows.visible.count(Window::Form1));
    EXPECT_TRUE(windows.visible.count(Window::frmSplash));
}

}  // namespace
