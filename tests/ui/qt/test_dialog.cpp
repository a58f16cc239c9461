#include "ui/qt/dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/qt/named_control.h"
#include "ui/qt/text_box.h"

namespace {

using tavrix::qt::Dialog;
using tavrix::qt::TextBox;

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

// A shown disclaimer.
class ShownDialog : public ::testing::Test {
protected:
    Dialog dialog;
    QSignalSpy ok{&dialog, &Dialog::okPressed};
    QSignalSpy cancel{&dialog, &Dialog::cancelPressed};

    void SetUp() override { dialog.show(); }
    void activate() {
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        EXPECT_EQ(QApplication::focusWidget(), namedControl<TextBox>(dialog, "Text1"));
    }
};

TEST(Dialog, ShowingOrFirstUseOfAControlLoadsTheWholeDisclaimer) {
    Dialog shown, used;
    EXPECT_FALSE(shown.isLoaded());
    shown.show();
    EXPECT_TRUE(shown.isLoaded());
    EXPECT_EQ(namedControl<TextBox>(shown, "Text1")->text(), expectedText);
    EXPECT_EQ(namedControl<TextBox>(shown, "Text1")->document()->blockCount(), 7);
    EXPECT_EQ(namedControl<TextBox>(used, "Text1")->text(), expectedText);
    EXPECT_TRUE(used.isLoaded());
    EXPECT_FALSE(used.isVisible());
}

TEST_F(ShownDialog, TextCanBeSelectedAndCopiedWithItsCrLfButNotChanged) {
    TextBox* text1 = namedControl<TextBox>(dialog, "Text1");
    EXPECT_TRUE(text1->isReadOnly());
    EXPECT_EQ(text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QTest::keyClicks(text1, QStringLiteral("typed"));
    QTest::keyClick(text1, Qt::Key_Delete);
    QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_EQ(text1->text(), expectedText);
    text1->selectAll();
    EXPECT_TRUE(text1->textCursor().hasSelection());
    text1->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), expectedText);
}

TEST_F(ShownDialog, EnterAndEscInTheTextBoxChooseNeitherButton) {
    activate();
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(namedControl<TextBox>(dialog, "Text1"), key);
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) QTest::keyClick(&dialog, key);
    EXPECT_EQ(ok.count() + cancel.count(), 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ShownDialog, TabGoesFromTheTextBoxToCancelThenToOk) {
    activate();
    for (QWidget* next : {static_cast<QWidget*>(namedControl<QPushButton>(dialog, "CancelButton")), static_cast<QWidget*>(namedControl<QPushButton>(dialog, "OKButton"))}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_EQ(namedControl<QGroupBox>(dialog, "Frame1")->focusPolicy(), Qt::NoFocus);
}

TEST_F(ShownDialog, ButtonsAndCloseBoxAreReportedAndNothingElseHappens) {
    QSignalSpy closed(&dialog, &Dialog::closed);
    QTest::mouseClick(namedControl<QPushButton>(dialog, "OKButton"), Qt::LeftButton);
    EXPECT_EQ(ok.count(), 1);
    QTest::mouseClick(namedControl<QPushButton>(dialog, "CancelButton"), Qt::LeftButton);
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_FALSE(dialog.close());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(dialog.isVisible()) << "the flow unloads the window, not the close request";
}

// A fixed window with a close box but no minimise or maximise button; OK stands left of Cancel
// under the text box, and both captions fit.
TEST_F(ShownDialog, FixedWindowWithCloseBoxOnlyAndButtonsThatFitUnderTheText) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tavrix - System Memory Information"));
    EXPECT_EQ(dialog.geometry(), QRect(335, 141, 410, 322));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(dialog.windowType(), Qt::Dialog);

    const QRect okPlace = namedControl<QPushButton>(dialog, "OKButton")->geometry(), cancelPlace = namedControl<QPushButton>(dialog, "CancelButton")->geometry();
    EXPECT_EQ(okPlace.top(), cancelPlace.top());
    EXPECT_EQ(cancelPlace.left() - okPlace.right() - 1, 7);
    EXPECT_GT(okPlace.top(), namedControl<TextBox>(dialog, "Text1")->geometry().bottom());
    EXPECT_TRUE(namedControl<QGroupBox>(dialog, "Frame1")->geometry().contains(cancelPlace));
    for (const QPushButton* button : {namedControl<QPushButton>(dialog, "OKButton"), namedControl<QPushButton>(dialog, "CancelButton")}) {
        const QFontMetrics metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()) + 8, button->width()) << button->text().toStdString();
        EXPECT_LE(metrics.height(), button->height());
    }
}

}  // namespace
