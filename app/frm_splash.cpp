#include "frm_splash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include "layout_fonts.h"
#include "twips.h"
#include "window_pictures.h"

namespace tavrix {

namespace {

using ui::TwipsRect;

// The layout, in twips. Label2 is 75 twips wider than its first design (3135): its text is 212 to
// 213 pixels wide in Liberation Serif, the substitute for "Times New Roman", and would be clipped.
// The label has no border and the window's background, so only the text shows the change.
constexpr TwipsRect clientArea{0, 0, 3630, 1170};
constexpr TwipsRect label1Rect{960, 120, 1335, 495};
constexpr TwipsRect label2Rect{240, 720, 3210, 375};
constexpr int timer1Interval = 10;  // milliseconds

// The fixed dialog border drawn around the client area, in pixels.
constexpr int borderWidth = 2;

}  // namespace

frmSplash::frmSplash() : QFrame(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    const QSize client = clientArea.toPixels().size();
    setFixedSize(client + QSize(2 * borderWidth, 2 * borderWidth));
    setFocusPolicy(Qt::StrongFocus);
    setWindowIcon(ui::programIcon());
}

frmSplash::~frmSplash() = default;

void frmSplash::load() {
    if (isLoaded()) return;
    createControls();
}

QLabel* frmSplash::Label1() {
    load();
    return Label1_;
}

QLabel* frmSplash::Label2() {
    load();
    return Label2_;
}

QTimer* frmSplash::Timer1() {
    load();
    return Timer1_;
}

void frmSplash::createControls() {
    client_ = new QWidget(this);
    client_->setGeometry(QRect(QPoint(borderWidth, borderWidth), clientArea.toPixels().size()));

    Label1_ = new QLabel(QStringLiteral("Tavrix"), client_);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(label1Rect.toPixels());
    Label1_->setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 18));
    QPalette blue = Label1_->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label1_->setPalette(blue);

    Label2_ = new QLabel(QStringLiteral("Scanning Please Wait......"), client_);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setGeometry(label2Rect.toPixels());
    Label2_->setFont(ui::layoutFont(QStringLiteral("Times New Roman"), 15.75));

    for (auto* label : {Label1_, Label2_}) label->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(timer1Interval);
    connect(Timer1_, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Timer1_->start();
}

void frmSplash::Timer1_Timer() {
    if (painted_) emit timerTicked();
}

void frmSplash::setVisible(bool visible) {
    if (visible) {
        load();
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen) move(screen->availableGeometry().center() - rect().center());
    }
    QFrame::setVisible(visible);
    if (visible) activateWindow();
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    painted_ = true;
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    if (event->text().isEmpty()) {
        QFrame::keyPressEvent(event);
    } else {
        Form_KeyPress();
    }
}

// The splash has no close box; a close request from elsewhere (such as the window manager's
// shortcut) is refused, as closing it is not one of the ways out of the scan.
void frmSplash::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tavrix
