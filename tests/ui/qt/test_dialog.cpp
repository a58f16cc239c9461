#include "dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "text_box.h"

namespace {

using tavrix::Dialog;
using tavrix::TextBox;

const QString expectedText = QStringLiteral(
    "Please read the following carefully before using the scan tool.\r\n\r\n"
    "Using the scanner DO NOT collect any personal data stored on the computer, only the system information is "
    "captured and is for one time scan use only, NO personal data is transmitted. To run the scanner just click the "
    "OK button. This scanner results are for helping you find the memory type only and we do not offer a guaranteed "
    "compatibility results.\r\n\r\n"
    "Please verify with your computer's manual to confirm that the memory you buy is the correct memory for your "
    "system. You can make use of the many tools found on the site, these tools are meant to guide you to find the "
    "memory type for you, we have the Memory Scan tool, the Memory Selector help tool, and Live Chat.\r\n\r\n"
    "If you need any help before buying memory, you can use our live customer support chat to talk to one of our "
    "representative and we will be glad to help you find the compatible memory.");

TEST(Dialog, LoadingFillsTheTextBoxWithTheWhole920CharacterDisclaimer) {
    Dialog dialog;
    EXPECT_FALSE(dialog.isLoaded());
    dialog.show();
    EXPECT_TRUE(dialog.isLoaded());
    const QString text = dialog.Text1()->text();
    EXPECT_EQ(text.size(), 920);
    EXPECT_EQ(text, expectedText);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Please read the following carefully before using the scan tool.\r\n\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("find the compatible memory.")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n\r\n")), 3);
    EXPECT_EQ(text.count(QLatin1Char('\n')), 6);
    EXPECT_EQ(dialog.Text1()->document()->blockCount(), 7);
}

TEST(Dialog, FirstUseOfAControlLoadsTheWindowWithoutShowingIt) {
    Dialog dialog;
    EXPECT_EQ(dialog.Text1()->text().size(), 920);
    EXPECT_TRUE(dialog.isLoaded());
    EXPECT_FALSE(dialog.isVisible());
}

TEST(Dialog, TextCanBeSelectedAndScrolledButNotChanged) {
    Dialog dialog;
    dialog.show();
    TextBox* text1 = dialog.Text1();
    EXPECT_TRUE(text1->isReadOnly());
    EXPECT_EQ(text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QTest::keyClicks(text1, QStringLiteral("typed"));
    QTest::keyClick(text1, Qt::Key_Delete);
    QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_EQ(text1->text(), expectedText);
    text1->selectAll();
    EXPECT_TRUE(text1->textCursor().hasSelection());
    text1->verticalScrollBar()->setValue(text1->verticalScrollBar()->maximum());
}

TEST(Dialog, CopiedSelectionKeepsCrLfLineBreaks) {
    Dialog dialog;
    dialog.show();
    dialog.Text1()->selectAll();
    dialog.Text1()->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), expectedText);
}

TEST(Dialog, EnterAndEscInTheTextBoxChooseNeitherButton) {
    Dialog dialog;
    QSignalSpy ok(&dialog, &Dialog::okPressed);
    QSignalSpy cancel(&dialog, &Dialog::cancelPressed);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Text1());
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(dialog.Text1(), key);
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(&dialog, key);
    EXPECT_EQ(ok.count(), 0);
    EXPECT_EQ(cancel.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(Dialog, TabGoesFromTheTextBoxToCancelThenToOk) {
    Dialog dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.Text1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.CancelButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.OKButton());
    EXPECT_EQ(dialog.Frame1()->focusPolicy(), Qt::NoFocus);
}

TEST(Dialog, ButtonsAndCloseBoxAreReportedAndNothingElseHappens) {
    Dialog dialog;
    QSignalSpy ok(&dialog, &Dialog::okPressed);
    QSignalSpy cancel(&dialog, &Dialog::cancelPressed);
    QSignalSpy closed(&dialog, &Dialog::closed);
    dialog.show();
    QTest::mouseClick(dialog.OKButton(), Qt::LeftButton);
    EXPECT_EQ(ok.count(), 1);
    QTest::mouseClick(dialog.CancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(dialog.isVisible()) << "the flow unloads the window, not the close request";
    EXPECT_EQ(ok.count() + cancel.count(), 2);
}

TEST(Dialog, FixedWindowWithCloseBoxButNoMinimiseOrMaximise) {
    Dialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tavrix - System Memory Information"));
    EXPECT_EQ(dialog.geometry(), QRect(335, 141, 410, 322));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.windowType(), Qt::Dialog);
}

TEST(Dialog, OkStandsLeftOfCancelUnderTheTextBoxAndBothCaptionsFit) {
    Dialog dialog;
    dialog.show();
    const QRect ok = dialog.OKButton()->geometry();
    const QRect cancel = dialog.CancelButton()->geometry();
    EXPECT_EQ(ok.top(), cancel.top());
    EXPECT_EQ(cancel.left() - ok.right() - 1, 7);
    EXPECT_GT(ok.top(), dialog.Text1()->geometry().bottom());
    EXPECT_TRUE(dialog.Frame1()->geometry().contains(cancel));
    for (const QPushButton* button : {dialog.OKButton(), dialog.CancelButton()}) {
        const QFontMetrics metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()) + 8, button->width()) << button->text().toStdString();
        EXPECT_LE(metrics.height(), button->height());
    }
}

}  // namespace
