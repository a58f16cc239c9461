#include "ui/qt/frm_splash.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTimer>

#include "forms/splash_form.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/form_builder.h"
#include "ui/qt/twips.h"
#include "ui/qt/window_hints.h"

namespace tavrix::qt {

namespace {

// The fixed dialog border drawn around the client area, in pixels.
constexpr int borderWidth = 2;

}  // namespace

// Without a title bar the window manager draws no border, so the splash draws its own.
frmSplash::frmSplash() : QFrame(nullptr, qt::windowFlags(forms::splashForm())) {
    const QMargins border(borderWidth, borderWidth, borderWidth, borderWidth);
    layoutDpi_ = qt::layoutDpi(forms::splashForm(), border);
    applyWindow(*this, forms::splashForm(), layoutDpi_);
    setFrameStyle(QFrame::WinPanel | QFrame::Raised);
    setFixedSize(toPixels(forms::splashForm().clientArea, layoutDpi_).size().grownBy(border));
    setFocusPolicy(Qt::StrongFocus);
}

frmSplash::~frmSplash() = default;

void frmSplash::load() {
    if (isLoaded()) return;
    createControls();
}




void frmSplash::createControls() {
    client_ = new QWidget(this);
    client_->setGeometry(
        QRect(QPoint(borderWidth, borderWidth), toPixels(forms::splashForm().clientArea, layoutDpi_).size()));
    buildControls(forms::splashForm(), client_, {}, layoutDpi_);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(forms::splashTimerInterval);
    connect(Timer1_, &QTimer::timeout, this, [this] { behaviour_.Timer1_Timer(); });
    Timer1_->start();
}

void frmSplash::setVisible(bool visible) {
    if (visible) {
        load();
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen) move(screen->availableGeometry().center() - rect().center());
        applyWindowManagerHints(*this, forms::splashForm());
    }
    QFrame::setVisible(visible);
    if (!visible) return;
    activateShownWindow(*this, this);
    announceShownWindow(*this, forms::accessibleDescription(forms::splashForm()));
}

void frmSplash::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    behaviour_.Form_Paint();
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    if (event->text().isEmpty()) {
        QFrame::keyPressEvent(event);
    } else {
        behaviour_.Form_KeyPress();
    }
}

// The splash has no close box; a close request from elsewhere (such as the window manager's
// shortcut) is refused, as closing it is not one of the ways out of the scan.
void frmSplash::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tavrix::qt
