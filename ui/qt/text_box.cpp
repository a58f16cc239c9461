#include "ui/qt/text_box.h"

#include <QMimeData>
#include <QTextCursor>

namespace tavrix::qt {

namespace {

QString withCrLf(QString text) {
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

}  // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {}

void TextBox::setText(const QString& text) { setPlainText(text); }

QString TextBox::text() const { return withCrLf(toPlainText()); }

QMimeData* TextBox::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(withCrLf(textCursor().selectedText()));
    return data;
}

}  // namespace tavrix::qt
