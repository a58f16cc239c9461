// The main window's load step, commands and failures.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "chat_launcher.h"
#include "desktop_services.h"
#include "fake_desktop.h"
#include "form1.h"
#include "machine_file.h"
#include "management_query.h"
#include "scan_error.h"
#include "tavrix_application.h"

using tavrix::Form1;
using tavrix::ModuleList;
using tavrix::ValueLabel;

namespace {

std::unique_ptr<tavrix::ManagementProvider> serverMachine() {
    return tavrix::makeMachineFileProvider(TAVRIX_TEST_DATA "/machines/server.machine");
}

// A provider whose connection cannot be opened.
class FailingProvider : public tavrix::ManagementProvider {
public:
    std::unique_ptr<tavrix::ManagementConnection> openConnection(const std::string&) override {
        throw tavrix::ScanError("Cannot connect to root\\cimv2: access denied");
    }
};

class Form1Commands : public ::testing::Test {
protected:
    std::unique_ptr<tavrix::ManagementProvider> provider = serverMachine();
    FakeDesktop desktop;
    Form1 form{*provider, desktop.services()};

    QListWidget* slotList() { return form.list(ModuleList::slotsLst); }
    QListWidget* memory() { return form.list(ModuleList::memoryLst); }
    QListWidget* speeds() { return form.list(ModuleList::speedLst); }
};

}  // namespace

TEST_F(Form1Commands, CreatingTheWindowLoadsNothingUntilAControlIsUsed) {
    EXPECT_FALSE(form.isLoaded());
    form.values().moduleCount = 7;
    form.setCaption(ValueLabel::Label35, "64 GB");
    EXPECT_TRUE(form.isLoaded());
    // The load step ran before the caption was written, and only once.
    EXPECT_EQ(form.valueLabel(ValueLabel::Label35)->text(), "64 GB");
    EXPECT_EQ(form.values().moduleCount, 0);
    form.load();
    EXPECT_EQ(form.valueLabel(ValueLabel::Label35)->text(), "64 GB");
}

TEST_F(Form1Commands, LoadBlanksTheValueLabelsAndLeavesTheCaptions) {
    for (int i = 0; i < tavrix::valueLabelCount; ++i)
        EXPECT_EQ(form.valueLabel(static_cast<ValueLabel>(i))->text(), "") << i;
    EXPECT_EQ(qobject_cast<QLabel*>(form.control("Label1"))->text(), "Manufacturer");
    EXPECT_EQ(form.findChildren<QLabel*>().size(), 17 + 20 + 2);
    for (QLabel* label : form.findChildren<QLabel*>()) EXPECT_NE(label->text(), "Label21");
}

TEST_F(Form1Commands, ScanFillsTheWindowAndNavigatesToTheLookupAddress) {
    EXPECT_EQ(form.getTavrix(), "Success");
    EXPECT_EQ(form.valueLabel(ValueLabel::Label21)->text(), "Dell Inc.");
    EXPECT_EQ(slotList()->count(), 6);
    EXPECT_EQ(memory()->count(), 6);
    EXPECT_EQ(speeds()->count(), 6);
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

TEST_F(Form1Commands, ClickingARowSelectsItInTheOtherListsWithoutReentry) {
    for (const char* row : {"A1", "A2", "A3"}) {
        form.appendRow(ModuleList::slotsLst, row);
        form.appendRow(ModuleList::memoryLst, row);
        form.appendRow(ModuleList::speedLst, row);
    }
    int changes = 0;
    for (QListWidget* list : {slotList(), memory(), speeds()})
        QObject::connect(list, &QListWidget::currentRowChanged, [&] { ++changes; });

    slotList()->setCurrentRow(2);
    EXPECT_EQ(memory()->currentRow(), 2);
    EXPECT_EQ(speeds()->currentRow(), 2);
    EXPECT_EQ(changes, 1);  // only the clicked list notified

    speeds()->setCurrentRow(0);
    EXPECT_EQ(memory()->currentRow(), 0);
    EXPECT_EQ(slotList()->currentRow(), 0);

    memory()->setCurrentRow(1);
    EXPECT_EQ(slotList()->currentRow(), 1);
    EXPECT_EQ(speeds()->currentRow(), 1);
    EXPECT_TRUE(speeds()->item(1)->isSelected());
    EXPECT_EQ(changes, 3);
}

TEST_F(Form1Commands, MouseClickOnARowFollowsInTheOtherLists) {
    for (const char* row : {"A1", "A2", "A3"}) {
        form.appendRow(ModuleList::slotsLst, row);
        form.appendRow(ModuleList::memoryLst, row);
        form.appendRow(ModuleList::speedLst, row);
    }
    form.show();
    const QRect second = memory()->visualItemRect(memory()->item(1));
    QTest::mouseClick(memory()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(slotList()->currentRow(), 1);
    EXPECT_EQ(speeds()->currentRow(), 1);
    form.close();
}

TEST_F(Form1Commands, CopyPutsExactlyTheReportOnTheRealClipboard) {
    form.getTavrix();
    ASSERT_NE(form.values().reportText.find("\r\n"), std::string::npos);
    auto* stale = new QMimeData;
    stale->setHtml("<b>old</b>");
    stale->setData("application/x-stale", "x");
    QGuiApplication::clipboard()->setMimeData(stale);

    Form1 real(*provider);
    real.values().reportText = form.values().reportText;
    real.clipboardCmd()->click();

    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->text(), QString::fromStdString(form.values().reportText));
    EXPECT_FALSE(held->hasHtml());
    EXPECT_FALSE(held->hasFormat("application/x-stale"));
}

TEST_F(Form1Commands, CopyClearsFirstThenSetsTheReport) {
    form.values().reportText = "line 1\r\nline 2\r\n";
    form.clipboardCmd()->click();
    EXPECT_EQ(desktop.clipboard.calls, (QStringList{"clear", "setText:line 1\r\nline 2\r\n"}));
}

TEST_F(Form1Commands, ChatStartsTheBrowserOnTheChatPageFromPictureAndLink) {
    QTest::mouseClick(form.Image1(), Qt::LeftButton);
    QTest::mouseClick(form.Label39(), Qt::LeftButton);
    QTest::mouseClick(form.Label39(), Qt::RightButton);
    ASSERT_EQ(desktop.launcher.started.size(), 2u);
    const QStringList expected{"xdg-open",
                               "http://www.quorvane.com/support/UserPreChat.aspx?ref=CustomerScanWindow"};
    EXPECT_EQ(desktop.launcher.started[0], expected);
    EXPECT_EQ(desktop.launcher.started[1], expected);
    EXPECT_TRUE(desktop.messageBox.shown.isEmpty());
    desktop.launcher.outcome = FakeDesktop::Launch::ReturnsFalse;
    QTest::mouseClick(form.Label39(), Qt::LeftButton);
    EXPECT_EQ(desktop.messageBox.shown, QStringList{"Browser Not found!!!"});
}

TEST(Form1Launcher, RealLauncherReportsAMissingProgramAndStartsNothing) {
    EXPECT_FALSE(tavrix::ui::startDetachedProcess("/nonexistent/tavrix-browser", {"x"}));
    EXPECT_FALSE(tavrix::ui::startDetachedProcess("tavrix-no-such-browser", {"x"}));  // not on PATH
}

namespace {

// In the death test's process: answer the error report's message box by printing its title and
// text and closing it.
void answerMessageBoxes() {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            QString text;
            for (QLabel* label : box->findChildren<QLabel*>()) text += label->text();
            fprintf(stderr, "box [%s] %s\n", qPrintable(box->windowTitle()), qPrintable(text));
            box->close();
        }
    });
    poll->start(20);
}

}  // namespace

TEST(Form1FailureDeathTest, FailureInAHandlerEndsInTheErrorReportAndStatus1) {
    EXPECT_EXIT(
        {
            FailingProvider failing;
            FakeDesktop desktop;
            Form1 form(failing, desktop.services());
            answerMessageBoxes();
            QTimer::singleShot(0, &form, [&form] { form.getTavrix(); });
            qApp->exec();
        },
        ::testing::ExitedWithCode(1),
        "box \\[Tavrix - System Memory Information\\] Cannot connect to root.cimv2: access denied");
}
