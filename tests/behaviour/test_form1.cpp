// The main window's behaviour against a fake view that records what the window would show and do.
#include "behaviour/form1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <array>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "scan/machine_file.h"
#include "scan/scan_error.h"

namespace {

using tavrix::ModuleList;
using tavrix::ValueLabel;

struct FakeView : tavrix::behaviour::Form1View {
    enum class Launch { Starts, ReturnsFalse, Throws };

    std::vector<std::string> log;
    std::array<int, 3> selected{-1, -1, -1};
    std::array<std::vector<std::string>, 3> lists;
    Launch launch = Launch::Starts;

    static std::string name(ModuleList list) { return std::string(tavrix::controlName(list)); }

    void setCaption(ValueLabel label, const std::string& caption) override {
        log.push_back("caption " + std::string(tavrix::controlName(label)) + "=" + caption);
    }
    void clearList(ModuleList list) override {
        lists[static_cast<std::size_t>(list)].clear();
        log.push_back("clear " + name(list));
    }
    void appendRow(ModuleList list, const std::string& row) override {
        lists[static_cast<std::size_t>(list)].push_back(row);
        log.push_back("row " + name(list) + "=" + row);
    }
    std::vector<std::string> rows(ModuleList list) const override { return lists[static_cast<std::size_t>(list)]; }
    void setRowReading(int row, const std::string& reading) override {
        log.push_back("reading " + std::to_string(row) + "=" + reading);
    }
    void confirmCopy(const std::string& confirmation) override { log.push_back("confirm " + confirmation); }
    int selectedRow(ModuleList list) const override { return selected[static_cast<std::size_t>(list)]; }
    void selectRow(ModuleList list, int row) override {
        selected[static_cast<std::size_t>(list)] = row;
        log.push_back("select " + name(list) + "=" + std::to_string(row));
    }
    void setClipboardText(const std::string& text) override { log.push_back("clipboard " + text); }
    bool startBrowser(const std::string& address) override {
        log.push_back("browser " + address);
        if (launch == Launch::Throws) throw std::runtime_error("no such program");
        return launch == Launch::Starts;
    }
    bool openInUsersBrowser(const std::string& address) override {
        log.push_back("open " + address);
        return launch == Launch::Starts;
    }
    void showMessage(const std::string& text) override { log.push_back("message " + text); }
    void navigate(const std::string& address) override { log.push_back("navigate " + address); }
};

// A provider whose connection cannot be opened.
class FailingProvider : public tavrix::ManagementProvider {
public:
    std::unique_ptr<tavrix::ManagementConnection> openConnection(const std::string&) override {
        throw tavrix::ScanError("Cannot connect to root\\cimv2: access denied");
    }
};

constexpr const char* chat = "http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow";

// A window whose scan cannot connect, over a fresh fake view.
struct Form1Behaviour : ::testing::Test {
    FailingProvider provider;
    FakeView view;
    tavrix::behaviour::Form1 form{provider, view, tavrix::TextForm()};
};

}  // namespace

TEST_F(Form1Behaviour, LoadBlanksTheValueLabelsInNumberOrderAndResetsTheCount) {
    form.values().moduleCount = 7;
    form.Form_Load();
    EXPECT_EQ(form.values().moduleCount, 0);
    std::vector<std::string> expected;
    for (const char* label : {"Label21", "Label22", "Label24", "Label25", "Label26", "Label27", "Label28", "Label29",
                              "Label30", "Label31", "Label32", "Label33", "Label34", "Label35", "Label36", "Label37",
                              "Label41"})
        expected.push_back(std::string("caption ") + label + "=");
    EXPECT_EQ(view.log, expected);
}

TEST_F(Form1Behaviour, AClickedListsRowIsSelectedInTheOtherTwoInOrder) {
    using tavrix::behaviour::Form1;
    const std::tuple<ModuleList, void (Form1::*)(), int, std::vector<std::string>> cases[] = {
        {ModuleList::memoryLst, &Form1::memoryLst_Click, 2, {"select slotsLst=2", "select speedLst=2"}},
        {ModuleList::slotsLst, &Form1::slotsLst_Click, 0, {"select memoryLst=0", "select speedLst=0"}},
        {ModuleList::speedLst, &Form1::speedLst_Click, 1, {"select memoryLst=1", "select slotsLst=1"}},
        {ModuleList::slotsLst, &Form1::slotsLst_Click, -1, {"select memoryLst=-1", "select speedLst=-1"}},
    };
    for (const auto& [clicked, click, row, log] : cases) {
        view.log.clear();
        view.selected[static_cast<std::size_t>(clicked)] = row;
        (form.*click)();
        EXPECT_EQ(view.log, log) << FakeView::name(clicked) << " row " << row;
    }
}

TEST_F(Form1Behaviour, CopyPutsTheReportOnTheClipboardThenConfirmsItToAScreenReader) {
    form.values().reportText = "line 1\r\nline 2\r\n";
    form.clipboardCmd_Click();
    EXPECT_EQ(view.log, (std::vector<std::string>{"clipboard line 1\r\nline 2\r\n",
                                                  "confirm System info copied to the clipboard"}));
}

TEST_F(Form1Behaviour, ChatStartsTheBrowserOrSaysOneThingWhateverFails) {
    const std::string browser = std::string("browser ") + chat, notFound = "message Browser Not found!!!";
    const std::tuple<FakeView::Launch, std::string, std::vector<std::string>> cases[] = {
        {FakeView::Launch::Starts, "", {browser}},
        {FakeView::Launch::ReturnsFalse, "", {browser, notFound}},
        {FakeView::Launch::Throws, "", {browser, notFound}},
        // With no user to run it as, nothing is started and the user hears why.
        {FakeView::Launch::Starts, "Tavrix runs as root.", {"message Tavrix runs as root."}},
    };
    for (const auto& [launch, refusal, log] : cases) {  // each of Image1 and Label39 gives the log
        FakeView chatView;
        chatView.launch = launch;
        tavrix::behaviour::Form1 chatForm(provider, chatView, tavrix::TextForm(), refusal);
        chatForm.Image1_Click();
        chatForm.Label39_Click();
        std::vector<std::string> twice = log;
        twice.insert(twice.end(), log.begin(), log.end());
        EXPECT_EQ(chatView.log, twice) << static_cast<int>(launch) << " " << refusal;
    }
}

// Only an http or https address that a command line carries whole leaves the page for the user's
// browser; the refusal and the one message apply as to the chat.
TEST_F(Form1Behaviour, APagesNewWindowOpensInTheUsersBrowserOnlyForAWebAddress) {
    const std::string notFound = "message Browser Not found!!!";
    const std::tuple<std::string, FakeView::Launch, std::string, std::vector<std::string>> cases[] = {
        {"https://www.quorvane.com/memory?id=7",
         FakeView::Launch::Starts,
         "",
         {"open https://www.quorvane.com/memory?id=7"}},
        {"HTTP://example.com/", FakeView::Launch::Starts, "", {"open HTTP://example.com/"}},
        {"http://example.com/", FakeView::Launch::ReturnsFalse, "", {"open http://example.com/", notFound}},
        {"http://example.com/", FakeView::Launch::Starts, "Tavrix runs as root.", {"message Tavrix runs as root."}},
        {"file:///C:/Windows/win.ini", FakeView::Launch::Starts, "", {}},
        {"javascript:window.close()", FakeView::Launch::Starts, "", {}},
        {"ms-settings:privacy", FakeView::Launch::Starts, "", {}},
        {"\\\\server\\share\\setup.exe", FakeView::Launch::Starts, "", {}},
        {"https://a.example/\" --x", FakeView::Launch::Starts, "", {}},
        {"https://a.example/\tx", FakeView::Launch::Starts, "", {}},
        {"https://a.example/\x7F", FakeView::Launch::Starts, "", {}},
        {"http://", FakeView::Launch::Starts, "", {}},
        {"", FakeView::Launch::Starts, "", {}},
    };
    for (const auto& [address, launch, refusal, log] : cases) {
        FakeView pageView;
        pageView.launch = launch;
        tavrix::behaviour::Form1 page(provider, pageView, tavrix::TextForm(), refusal);
        page.WB_NewWindow(address);
        EXPECT_EQ(pageView.log, log) << address;
    }
}

// The scan navigates as its last step; then row n of every list reads as the whole module n.
TEST_F(Form1Behaviour, ScanFillsTheViewNavigatesThenReadsEachRowAsItsModule) {
    const auto server = tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
    tavrix::behaviour::Form1 scanned(*server, view, tavrix::TextForm());
    EXPECT_EQ(scanned.getTavrix(), "Success");
    const auto navigated = std::find(view.log.begin(), view.log.end(), "navigate " + scanned.lookupAddress());
    ASSERT_NE(navigated, view.log.end());
    const std::vector<std::string> after(navigated + 1, view.log.end());
    ASSERT_EQ(after.size(), view.lists[0].size());
    EXPECT_EQ(after.front(), "reading 0=" + view.lists[0][0] + ", " + view.lists[1][0] + ", " + view.lists[2][0]);
    EXPECT_NE(std::find(view.log.begin(), view.log.end(), "caption Label21=Dell Inc."), view.log.end());
}
