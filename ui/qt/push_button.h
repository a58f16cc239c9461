#pragma once

#include <QPushButton>

class QKeyEvent;

namespace tavrix::qt {

// A push button that is never a default button, chosen by Enter as well as by Space while it has
// the focus, as a focused button is on Windows. (Qt gives Enter only to auto-default buttons, and
// those draw a default frame.)
class PushButton : public QPushButton {
    Q_OBJECT
public:
    PushButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tavrix::qt
