#include "ui/qt/window_pictures.h"

#include <QBuffer>
#include <QCursor>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPixmap>

#include <string_view>

#include "res/cursor_file.h"

// The pictures live in a static library, whose resources are registered on first use.
static void registerPictures() { Q_INIT_RESOURCE(tavrix); }

namespace tavrix::qt {

namespace {

QByteArray resourceBytes(const char* path) {
    registerPictures();
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// The image of an icon or cursor file with the most bits per pixel.
QImage deepestImage(const QByteArray& bytes, const char* format) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QImage best;
    const int count = qMax(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        const QImage image = reader.read();
        if (!image.isNull() && (best.isNull() || image.depth() > best.depth())) best = image;
    }
    return best;
}

}  // namespace

QIcon programIcon() {
    registerPictures();
    return QIcon(QStringLiteral(":/res/tavrix.ico"));
}

QPixmap chatPicture() {
    return QPixmap::fromImage(deepestImage(resourceBytes(":/res/chat.ico"), "ico"));
}

QCursor handCursor() {
    const QByteArray bytes = resourceBytes(":/res/hand.cur");
    const QImage image = deepestImage(bytes, "cur");
    const auto hotSpot = cursorHotSpot(std::string_view(bytes.constData(), bytes.size()));
    if (image.isNull() || !hotSpot) return QCursor(Qt::PointingHandCursor);
    return QCursor(QPixmap::fromImage(image), hotSpot->first, hotSpot->second);
}

}  // namespace tavrix::qt
