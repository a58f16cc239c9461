#include "ui/qt/message_box.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include "forms/program_texts.h"
#include "ui/qt/form_builder.h"
#include "ui/qt/layout_fonts.h"
#include "ui/qt/window_pictures.h"

namespace tavrix::qt {

void showMessageBox(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(forms::applicationTitle), text, QMessageBox::Ok);
    box.setFont(defaultLayoutFont());
    box.setWindowIcon(programIcon());
    QTimer::singleShot(0, &box, [&box] { activateShownWindow(box, box.button(QMessageBox::Ok)); });
    box.exec();
}

}  // namespace tavrix::qt
