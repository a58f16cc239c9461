#pragma once

#include <QFrame>

#include "behaviour/frm_splash.h"
#include "behaviour/program_windows.h"

class QCloseEvent;
class QKeyEvent;
class QPaintEvent;
class QTimer;

namespace tavrix::qt {

// The scanning splash: two fixed texts and Timer1, which starts the scan. It reports its ticks and
// typed keys; the flow decides what they do. Loaded by show() or the first use of a control.
class frmSplash : public QFrame, public behaviour::FlowWindow {
    Q_OBJECT
public:
    frmSplash();
    ~frmSplash() override;

    void load();
    bool isLoaded() const override { return Timer1_ != nullptr; }
    void show() override { QFrame::show(); }

signals:
    // A tick of Timer1 once both texts have been painted, so that they stand while a scan blocks.
    void timerTicked();
    // A key press that types a character (letters, digits, Enter, Esc, Backspace and the like).
    void keyPressed();

protected:
    void setVisible(bool visible) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int layoutDpi_ = 96;
    void createControls();

    QWidget* client_ = nullptr;
    QTimer* Timer1_ = nullptr;
    behaviour::frmSplash behaviour_{[this] { emit timerTicked(); }, [this] { emit keyPressed(); }};
};

}  // namespace tavrix::qt
