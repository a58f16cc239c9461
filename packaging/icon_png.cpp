// icon_png ICON SIZE PNG: writes the SIZE by SIZE image of the program icon as a PNG, for the icon
// theme: the icon file's own image where it has one of that size (16, 32), else the icon's drawing
// (res/icon_drawing.h) at that size, never an image scaled up.
// icon_png --svg SVG: writes the same drawing as a scalable SVG.
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cmath>
#include <cstdio>

#include "res/icon_drawing.h"

namespace {

namespace icon = tavrix::icon;

QColor colourOf(icon::Colour colour) { return QColor(colour.red, colour.green, colour.blue); }

QString hexOf(icon::Colour colour) { return colourOf(colour).name(); }

// The drawing at size by size pixels: the disc and the dot smooth, the letter's straight edges on
// whole pixels.
QImage drawn(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double scale = double(size) / icon::grid;
    const QPointF centre(size / 2.0, size / 2.0);
    painter.setBrush(colourOf(icon::rim));
    painter.drawEllipse(centre, icon::discRadius * scale, icon::discRadius * scale);
    painter.setBrush(colourOf(icon::disc));
    const double inner = (icon::discRadius - icon::rimWidth) * scale;
    painter.drawEllipse(centre, inner, inner);
    painter.setBrush(colourOf(icon::ink));
    const auto edge = [scale](int cell) { return std::round(cell * scale); };
    for (const icon::Cells& part : icon::letter) {
        painter.fillRect(
            QRectF(QPointF(edge(part.left), edge(part.top)), QPointF(edge(part.right + 1), edge(part.bottom + 1))),
            colourOf(icon::ink));
    }
    const icon::Cells& dot = icon::dot;
    const double dotRadius = (dot.right + 1 - dot.left) / 2.0 * scale;
    painter.drawEllipse(QPointF((dot.left + dot.right + 1) / 2.0 * scale, (dot.top + dot.bottom + 1) / 2.0 * scale),
                        dotRadius, dotRadius);
    return image;
}

QByteArray svg() {
    QString text = QStringLiteral(
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
                       "  <circle cx=\"%2\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n"
                       "  <circle cx=\"%2\" cy=\"%2\" r=\"%5\" fill=\"%6\"/>\n")
                       .arg(icon::grid)
                       .arg(icon::grid / 2.0)
                       .arg(icon::discRadius)
                       .arg(hexOf(icon::rim))
                       .arg(icon::discRadius - icon::rimWidth)
                       .arg(hexOf(icon::disc));
    const icon::Cells& dot = icon::dot;
    text += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\"/>\n")
                .arg((dot.left + dot.right + 1) / 2.0)
                .arg((dot.top + dot.bottom + 1) / 2.0)
                .arg((dot.right + 1 - dot.left) / 2.0)
                .arg(hexOf(icon::ink));
    for (const icon::Cells& part : icon::letter) {
        text += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                    .arg(part.left)
                    .arg(part.top)
                    .arg(part.right + 1 - part.left)
                    .arg(part.bottom + 1 - part.top)
                    .arg(hexOf(icon::ink));
    }
    text += QStringLiteral("</svg>\n");
    return text.toUtf8();
}

int writeSvg(const QString& path) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(svg()) >= 0 && file.flush()) return 0;
    std::fprintf(stderr, "icon_png: cannot write %s\n", qPrintable(path));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--svg")) return writeSvg(arguments[2]);
    bool sizeOk = false;
    const int size = arguments.size() == 4 ? arguments[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0 || size > 1024) {
        std::fprintf(stderr, "usage: icon_png ICON SIZE PNG | icon_png --svg SVG\n");
        return 2;
    }
    QImage image;
    QImageReader reader(arguments[1]);
    do {
        const QImage candidate = reader.read();
        if (candidate.isNull()) break;
        if (candidate.width() == size && candidate.height() == size) image = candidate;
    } while (image.isNull() && reader.jumpToNextImage());
    if (image.isNull() && reader.error() != QImageReader::UnknownError &&
        reader.error() != QImageReader::InvalidDataError) {
        std::fprintf(stderr, "icon_png: cannot read %s: %s\n", qPrintable(arguments[1]),
                     qPrintable(reader.errorString()));
        return 1;
    }
    if (image.isNull()) image = drawn(size);
    if (image.convertToFormat(QImage::Format_ARGB32).save(arguments[3], "PNG")) return 0;
    std::fprintf(stderr, "icon_png: cannot write %s\n", qPrintable(arguments[3]));
    return 1;
}
