#include "dialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>

#include "layout_fonts.h"
#include "tavrix_application.h"
#include "text_box.h"
#include "twips.h"
#include "window_pictures.h"

namespace tavrix {

namespace {

using ui::TwipsRect;

const QString crLf = QStringLiteral("\r\n");

const QString paragraph1 = QStringLiteral("Please read the following carefully before using the scan tool.");
const QString paragraph2 = QStringLiteral(
    "Using the scanner DO NOT collect any personal data stored on the computer, only the system information is "
    "captured and is for one time scan use only, NO personal data is transmitted. To run the scanner just click "
    "the OK button. This scanner results are for helping you find the memory type only and we do not offer a "
    "guaranteed compatibility results.");
const QString paragraph3 = QStringLiteral(
    "Please verify with your computer's manual to confirm that the memory you buy is the correct memory for your "
    "system. You can make use of the many tools found on the site, these tools are meant to guide you to find the "
    "memory type for you, we have the Memory Scan tool, the Memory Selector help tool, and Live Chat.");
const QString paragraph4 = QStringLiteral(
    "If you need any help before buying memory, you can use our live customer support chat to talk to one of our "
    "representative and we will be glad to help you find the compatible memory.");

// The layout, in twips.
constexpr TwipsRect clientArea{5025, 2115, 6150, 4830};  // left and top on the screen
constexpr TwipsRect frame1Rect{0, 0, 6135, 4815};
constexpr TwipsRect text1Rect{120, 240, 5895, 3975};
constexpr TwipsRect cancelButtonRect{3240, 4320, 1215, 375};
constexpr TwipsRect okButtonRect{1920, 4320, 1215, 375};

}  // namespace

Dialog::Dialog()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QString::fromLatin1(applicationTitle));
    setWindowIcon(ui::programIcon());
    setFont(ui::defaultLayoutFont());
    setGeometry(clientArea.toPixels());
    setFixedSize(clientArea.toPixels().size());
}

Dialog::~Dialog() = default;

void Dialog::load() {
    if (isLoaded()) return;
    createControls();
    Form_Load();
}

QGroupBox* Dialog::Frame1() {
    load();
    return Frame1_;
}

TextBox* Dialog::Text1() {
    load();
    return Text1_;
}

QPushButton* Dialog::CancelButton() {
    load();
    return CancelButton_;
}

QPushButton* Dialog::OKButton() {
    load();
    return OKButton_;
}


void Dialog::createControls() {
    Frame1_ = new QGroupBox(this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setGeometry(frame1Rect.toPixels());
    Frame1_->setFocusPolicy(Qt::NoFocus);

    Text1_ = new TextBox(Frame1_);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text1_->setGeometry(text1Rect.toPixels());
    Text1_->setReadOnly(true);
    Text1_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1_->setTabChangesFocus(true);
    Text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    CancelButton_ = new QPushButton(QStringLiteral("Cancel"), Frame1_);
    CancelButton_->setObjectName(QStringLiteral("CancelButton"));
    CancelButton_->setGeometry(cancelButtonRect.toPixels());

    OKButton_ = new QPushButton(QStringLiteral("OK"), Frame1_);
    OKButton_->setObjectName(QStringLiteral("OKButton"));
    OKButton_->setGeometry(okButtonRect.toPixels());

    for (auto* button : {CancelButton_, OKButton_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(Text1_, CancelButton_);
    setTabOrder(CancelButton_, OKButton_);
    Text1_->setFocus();

    connect(OKButton_, &QPushButton::clicked, this, &Dialog::OKButton_Click);
    connect(CancelButton_, &QPushButton::clicked, this, &Dialog::CancelButton_Click);
}

void Dialog::Form_Load() {
    buffer_ = paragraph1 + crLf + crLf;
    buffer_ += paragraph2 + crLf + crLf;
    buffer_ += paragraph3 + crLf + crLf;
    buffer_ += paragraph4;
    Text1_->setText(buffer_);
}

void Dialog::setVisible(bool visible) {
    if (visible) load();
    QWidget::setVisible(visible);
}

void Dialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closed();
}

}  // namespace tavrix
