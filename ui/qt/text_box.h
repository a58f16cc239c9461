#pragma once

#include <QPlainTextEdit>

class QMimeData;

namespace tavrix::qt {

// A multi-line text box whose text keeps the program's line breaks: setText takes CR LF, text()
// and a copied selection give CR LF back, though the editor itself stores plain paragraphs.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const;

protected:
    QMimeData* createMimeDataFromSelection() const override;
};

}  // namespace tavrix::qt
