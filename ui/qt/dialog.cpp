#include "ui/qt/dialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPushButton>

#include "forms/dialog_form.h"
#include "ui/qt/form_builder.h"
#include "ui/qt/text_box.h"
#include "ui/qt/window_hints.h"

namespace tavrix::qt {

Dialog::Dialog() : QWidget(nullptr, qt::windowFlags(forms::dialogForm())) {
    layoutDpi_ = qt::layoutDpi(forms::dialogForm(), windowFrame(forms::dialogForm()));
    applyWindow(*this, forms::dialogForm(), layoutDpi_);
    client_ = clientArea(*this, forms::dialogForm());
}

Dialog::~Dialog() = default;

void Dialog::load() {
    if (isLoaded()) return;
    createControls();
    Form_Load();
}





void Dialog::createControls() {
    const QHash<QString, QWidget*> widgets = buildControls(forms::dialogForm(), client_, {}, layoutDpi_);
    Frame1_ = qobject_cast<QGroupBox*>(widgets.value(QStringLiteral("Frame1")));
    Text1_ = qobject_cast<TextBox*>(widgets.value(QStringLiteral("Text1")));
    CancelButton_ = qobject_cast<QPushButton*>(widgets.value(QStringLiteral("CancelButton")));
    OKButton_ = qobject_cast<QPushButton*>(widgets.value(QStringLiteral("OKButton")));
    Frame1_->setFocusPolicy(Qt::NoFocus);
    Text1_->setFocus();

    connect(OKButton_, &QPushButton::clicked, this, &Dialog::OKButton_Click);
    connect(CancelButton_, &QPushButton::clicked, this, &Dialog::CancelButton_Click);
}

void Dialog::Form_Load() {
    buffer_ = QString::fromLatin1(forms::disclaimerText());
    Text1_->setText(buffer_);
}

void Dialog::setVisible(bool visible) {
    if (visible) {
        load();
        applyWindowManagerHints(*this, forms::dialogForm());
    }
    QWidget::setVisible(visible);
    if (visible) activateShownWindow(*this, Text1_);
}

void Dialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closed();
}

}  // namespace tavrix::qt
