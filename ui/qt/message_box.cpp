#include "message_box.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include "form_builder.h"
#include "layout_fonts.h"
#include "program_texts.h"
#include "window_pictures.h"

namespace tavrix::ui {

void showMessageBox(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(forms::applicationTitle), text, QMessageBox::Ok);
    box.setFont(defaultLayoutFont());
    box.setWindowIcon(programIcon());
    QTimer::singleShot(0, &box, [&box] { activateShownWindow(box, box.button(QMessageBox::Ok)); });
    box.exec();
}

}  // namespace tavrix::ui
