// icon_png ICON SIZE PNG: writes the SIZE by SIZE image of an icon file as a PNG, for the icon theme.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    bool sizeOk = false;
    const int size = arguments.size() == 4 ? arguments[2].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        std::fprintf(stderr, "usage: icon_png ICON SIZE PNG\n");
        return 2;
    }
    QImageReader reader(arguments[1]);
    do {
        const QImage image = reader.read();
        if (image.isNull()) break;
        if (image.width() != size || image.height() != size) continue;
        if (image.convertToFormat(QImage::Format_ARGB32).save(arguments[3], "PNG")) return 0;
        std::fprintf(stderr, "icon_png: cannot write %s\n", qPrintable(arguments[3]));
        return 1;
    } while (reader.jumpToNextImage());
    std::fprintf(stderr, "icon_png: %s has no %d by %d image%s%s\n", qPrintable(arguments[1]), size, size,
                 reader.error() == QImageReader::UnknownError ? "" : ": ",
                 reader.error() == QImageReader::UnknownError ? "" : qPrintable(reader.errorString()));
    return 1;
}
