#pragma once

#include <QString>
#include <QWidget>

#include "behaviour/program_windows.h"

class QCloseEvent;
class QGroupBox;
class QPushButton;

namespace tavrix::qt {

class TextBox;

// The disclaimer window, the program's first window. The object comes into being without its
// controls; load() (or the first use of a control, or show()) creates them and runs Form_Load.
class Dialog : public QWidget, public behaviour::FlowWindow {
    Q_OBJECT
public:
    Dialog();
    ~Dialog() override;

    void load();
    bool isLoaded() const override { return Text1_ != nullptr; }
    void show() override { QWidget::show(); }

signals:
    void okPressed();
    void cancelPressed();
    // The close box (or any other close request); the window stays until the flow unloads it.
    void closed();

protected:
    void setVisible(bool visible) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int layoutDpi_ = 96;
    QWidget* client_ = this;  // where the controls lie: the window, or the area inside the frame it draws
    void createControls();
    void Form_Load();
    void OKButton_Click() { emit okPressed(); }
    void CancelButton_Click() { emit cancelPressed(); }

    QString buffer_;
    QGroupBox* Frame1_ = nullptr;
    TextBox* Text1_ = nullptr;
    QPushButton* CancelButton_ = nullptr;
    QPushButton* OKButton_ = nullptr;
};

}  // namespace tavrix::qt
