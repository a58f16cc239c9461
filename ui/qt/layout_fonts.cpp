#include "ui/qt/layout_fonts.h"

#include <QString>
#include <QtMath>

namespace tavrix::qt {

QString substituteFamily(const QString& layoutFamily) {
    if (layoutFamily.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    if (layoutFamily.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Serif");
    return layoutFamily;
}

int pixelsForPoints(qreal points, int dpi) { return qRound(points * dpi / 72.0); }

QFont layoutFont(const QString& layoutFamily, qreal points, bool bold, int dpi) {
    QFont font(substituteFamily(layoutFamily));
    font.setPixelSize(pixelsForPoints(points, dpi));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

QFont layoutFont(const forms::FontDescription& font, int dpi) {
    return layoutFont(QString::fromLatin1(font.face), font.points, font.bold(), dpi);
}

QFont defaultLayoutFont(bool bold, int dpi) {
    return layoutFont(bold ? forms::defaultBoldFont : forms::defaultFont, dpi);
}

}  // namespace tavrix::qt
