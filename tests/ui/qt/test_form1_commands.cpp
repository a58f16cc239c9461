// The main window's load step, commands and failures.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "scan/machine_file.h"
#include "tests/ui/qt/fake_desktop.h"
#include "tests/ui/qt/named_control.h"
#include "ui/qt/chat_launcher.h"
#include "ui/qt/form1.h"
#include "ui/qt/module_browser.h"

using tavrix::qt::Form1;
using tavrix::ModuleList;
using tavrix::ValueLabel;

namespace {

class Form1Commands : public ::testing::Test {
protected:
    std::unique_ptr<tavrix::ManagementProvider> provider =
        tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
    FakeDesktop desktop;
    Form1 form{*provider, desktop.services(), tavrix::TextForm()};

    QListWidget* slotList() { return form.list(ModuleList::slotsLst); }
    QListWidget* memory() { return form.list(ModuleList::memoryLst); }
    QListWidget* speeds() { return form.list(ModuleList::speedLst); }
    void appendThreeRows() {
        for (const char* row : {"A1", "A2", "A3"})
            for (ModuleList list : {ModuleList::slotsLst, ModuleList::memoryLst, ModuleList::speedLst})
                form.appendRow(list, row);
    }
};

}  // namespace

TEST_F(Form1Commands, CreatingTheWindowLoadsNothingUntilAControlIsUsed) {
    EXPECT_FALSE(form.isLoaded());
    form.values().moduleCount = 7;
    form.setCaption(ValueLabel::installedMemory, "64 GB");
    EXPECT_TRUE(form.isLoaded());
    // The load step ran before the caption was written, and only once.
    EXPECT_EQ(form.valueLabel(ValueLabel::installedMemory)->text(), "64 GB");
    EXPECT_EQ(form.values().moduleCount, 0);
    form.load();
    EXPECT_EQ(form.valueLabel(ValueLabel::installedMemory)->text(), "64 GB");
}

TEST_F(Form1Commands, LoadBlanksTheValueLabelsAndLeavesTheCaptions) {
    for (int i = 0; i < tavrix::valueLabelCount; ++i)
        EXPECT_EQ(form.valueLabel(static_cast<ValueLabel>(i))->text(), "") << i;
    EXPECT_EQ(qobject_cast<QLabel*>(form.control("Label1"))->text(), "Manufacturer");
    EXPECT_EQ(form.findChildren<QLabel*>().size(), 17 + 20 + 2);
    for (QLabel* label : form.findChildren<QLabel*>()) EXPECT_NE(label->text(), "Label21");
}

TEST_F(Form1Commands, ScanFillsTheWindowAndNavigatesToTheLookupAddress) {
    EXPECT_EQ(form.behaviour().getTavrix(), "Success");
    EXPECT_EQ(form.valueLabel(ValueLabel::systemManufacturer)->text(), "Dell Inc.");
    for (QListWidget* list : {slotList(), memory(), speeds()}) EXPECT_EQ(list->count(), 6);
    ASSERT_EQ(desktop.browser.addresses.size(), 1u);
    const QUrl& url = desktop.browser.addresses[0];
    EXPECT_EQ(url.host(), "www.quorvane.com");
    EXPECT_EQ(url.path(), "/mc/tavrix.asp");
    EXPECT_TRUE(url.query(QUrl::FullyEncoded).startsWith("manufacturer%20=%20Dell%20Inc.&mdlname="));
}

TEST(Form1LookupUrl, KeepsTheAddressAsComposedWithBlanksAsPercent20) {
    const QUrl url = Form1::lookupUrl("http://h/mc/tavrix.asp?manufacturer = A%26B (UK)&mdlname=X,1&site=q");
    EXPECT_EQ(url.toEncoded(),
              "http://h/mc/tavrix.asp?manufacturer%20=%20A%26B%20(UK)&mdlname=X,1&site=q");
}

// A row chosen in one list, in code or with the mouse, is selected in the other two, and only the
// chosen list reports a change.
TEST_F(Form1Commands, ChoosingARowSelectsItInTheOtherListsWithoutReentry) {
    appendThreeRows();
    int changes = 0, expectedChanges = 0;
    for (QListWidget* list : {slotList(), memory(), speeds()})
        QObject::connect(list, &QListWidget::currentRowChanged, [&] { ++changes; });
    struct Choice {
        QListWidget* chosen;
        int row;
    };
    for (const Choice& choice : {Choice{slotList(), 2}, Choice{speeds(), 0}, Choice{memory(), 1}}) {
        choice.chosen->setCurrentRow(choice.row);
        for (QListWidget* list : {slotList(), memory(), speeds()}) {
            // Only the chosen list has a current row, the one a screen reader announces.
            EXPECT_EQ(list->currentRow(), list == choice.chosen ? choice.row : -1) << list->objectName().toStdString();
            EXPECT_TRUE(list->item(choice.row)->isSelected()) << list->objectName().toStdString();
        }
        EXPECT_EQ(changes, ++expectedChanges);
    }

    form.show();
    QTest::mouseClick(memory()->viewport(), Qt::LeftButton, {}, memory()->visualItemRect(memory()->item(2)).center());
    EXPECT_TRUE(slotList()->item(2)->isSelected());
    EXPECT_TRUE(speeds()->item(2)->isSelected());
    form.close();
}

TEST_F(Form1Commands, CopyPutsExactlyTheReportOnTheRealClipboard) {
    form.behaviour().getTavrix();
    ASSERT_NE(form.values().reportText.find("\r\n"), std::string::npos);
    auto* stale = new QMimeData;
    stale->setHtml("<b>old</b>");
    stale->setData("application/x-stale", "x");
    QGuiApplication::clipboard()->setMimeData(stale);

    Form1 real(*provider, tavrix::qt::systemDesktopServices(), tavrix::TextForm());
    real.values().reportText = form.values().reportText;
    namedControl<QPushButton>(real, "clipboardCmd")->click();

    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->text(), QString::fromStdString(form.values().reportText));
    EXPECT_FALSE(held->hasHtml());
    EXPECT_FALSE(held->hasFormat("application/x-stale"));
}

TEST_F(Form1Commands, CopyClearsFirstThenSetsTheReport) {
    form.values().reportText = "line 1\r\nline 2\r\n";
    namedControl<QPushButton>(form, "clipboardCmd")->click();
    EXPECT_EQ(desktop.clipboard.calls, (QStringList{"clear", "setText:line 1\r\nline 2\r\n"}));
}

TEST_F(Form1Commands, ChatStartsTheBrowserOnTheChatPageFromPictureAndLink) {
    QTest::mouseClick(namedControl<QLabel>(form, "Image1"), Qt::LeftButton);
    QTest::mouseClick(namedControl<QLabel>(form, "Label39"), Qt::LeftButton);
    QTest::mouseClick(namedControl<QLabel>(form, "Label39"), Qt::RightButton);
    ASSERT_EQ(desktop.launcher.started.size(), 2u);
    const QStringList expected{"xdg-open",
                               "http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow"};
    EXPECT_EQ(desktop.launcher.started[0], expected);
    EXPECT_EQ(desktop.launcher.started[1], expected);
    EXPECT_TRUE(desktop.messageBox.shown.isEmpty());
    desktop.launcher.outcome = FakeDesktop::Launch::ReturnsFalse;
    QTest::mouseClick(namedControl<QLabel>(form, "Label39"), Qt::LeftButton);
    EXPECT_EQ(desktop.messageBox.shown, QStringList{"Browser Not found!!!"});
}

TEST(Form1Launcher, RealLauncherReportsAMissingProgramAndStartsNothing) {
    EXPECT_FALSE(tavrix::qt::startDetachedProcess("/nonexistent/tavrix-browser", {"x"}));
    EXPECT_FALSE(tavrix::qt::startDetachedProcess("tavrix-no-such-browser", {"x"}));  // not on PATH
}

// What main passes in: the values are written in the given text form, and a browser refusal
// stands where the page would be, with no page loaded and no browser started for the chat.
TEST(Form1FromMain, WritesInTheGivenTextFormAndShowsTheRefusalInsteadOfAnyBrowser) {
    auto provider = tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
    FakeDesktop desktop;
    Form1 form{*provider, desktop.services(), tavrix::TextForm(","), QStringLiteral("No page as root.")};
    form.behaviour().getTavrix();
    EXPECT_EQ(form.valueLabel(ValueLabel::installedMemory)->text(), "251,66 GB");
    const auto* why = qobject_cast<QLabel*>(form.control("WB"));
    ASSERT_NE(why, nullptr);
    EXPECT_EQ(why->text(), "No page as root.");
    EXPECT_TRUE(desktop.browser.addresses.empty());
    QTest::mouseClick(namedControl<QLabel>(form, "Label39"), Qt::LeftButton);
    EXPECT_TRUE(desktop.launcher.started.empty());
    EXPECT_EQ(desktop.messageBox.shown, QStringList{"No page as root."});
}

// A page module that cannot be loaded leaves the window working: the scan succeeds, and the reason
// stands where the page would be.
TEST(Form1FromMain, ShowsWhyThePageModuleDidNotLoadInsteadOfThePage) {
    const struct {
        std::string module;
        const char* says;
    } cases[] = {
        {TAVRIX_SOURCE_DIR "/no-such-folder/tavrix-page.so", "No such file"},
        {TAVRIX_SOURCE_DIR "/README.md", "README.md"},
    };
    for (const auto& [module, says] : cases) {
        auto provider = tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
        FakeDesktop desktop;
        tavrix::qt::ModuleBrowser browser(module);
        Form1 form{*provider, {desktop.clipboard, desktop.launcher, browser, desktop.messageBox}, tavrix::TextForm()};
        EXPECT_EQ(form.behaviour().getTavrix(), "Success") << module;
        const auto* why = qobject_cast<QLabel*>(form.control("WB"));
        ASSERT_NE(why, nullptr) << module;
        const std::string shown = why->text().toStdString();
        EXPECT_TRUE(shown.starts_with("The page cannot be shown: its browser did not load (")) << shown;
        EXPECT_NE(shown.find(says), std::string::npos) << shown;
    }
}
