#include "terrain/MapPicture.h"

#include <QFile>
#include <QImageReader>

namespace tolva {

namespace {

MapPicture Failure(const QString& error)
{
    return {QImage(), error};
}

bool TooLarge(qint64 width, qint64 height)
{
    return width * height > kMaxMapPixels;
}

QString TooLargeText(qint64 width, qint64 height)
{
    return QStringLiteral("The picture is too large (%1 x %2 pixels); a map may have at most %3 pixels.")
        .arg(width)
        .arg(height)
        .arg(kMaxMapPixels);
}

quint32 Little32(const QByteArray& bytes, int at)
{
    quint32 value = 0;
    for (int k = 3; k >= 0; --k)
        value = value << 8 | quint8(bytes[at + k]);
    return value;
}

quint16 Little16(const QByteArray& bytes, int at)
{
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

// The image reader accepts a BMP whose pixel data stops short and fills the
// missing rows with black, which would make a cut-off download or a map the
// simulator is still writing look like a real terrain with a cliff. An
// uncompressed BMP says how many bytes its rows take, so a short file is
// refused here. Compressed (run-length) pictures carry no such promise and are
// left to the reader. A header claiming a gigantic picture is refused here
// too, before any sum over its size could overflow.
QString CheckBmpHeader(QIODevice* device)
{
    if (device->isSequential())
        return QString();
    const QByteArray header = device->peek(34);
    if (header.size() < 30 || !header.startsWith("BM"))
        return QString();

    const quint32 dataOffset = Little32(header, 10);
    const quint32 infoSize = Little32(header, 14);
    qint64 width = 0, height = 0, bitsPerPixel = 0;
    if (infoSize == 12) { // the old core header: 16-bit sizes, never compressed
        width = Little16(header, 18);
        height = Little16(header, 20);
        bitsPerPixel = Little16(header, 24);
    } else if (infoSize >= 40 && header.size() >= 34) {
        width = qint32(Little32(header, 18));
        height = qint32(Little32(header, 22));
        bitsPerPixel = Little16(header, 28);
        const quint32 compression = Little32(header, 30);
        if (compression != 0 && compression != 3 && compression != 6)
            return QString();
    } else {
        return QString();
    }
    if (width <= 0 || height == 0 || bitsPerPixel <= 0 || bitsPerPixel > 32)
        return QString(); // not ours to judge: the reader refuses these itself

    height = qAbs(height);
    if (TooLarge(width, height)) // and beyond any file this check could measure
        return TooLargeText(width, height);
    const qint64 stride = (width * bitsPerPixel + 31) / 32 * 4;
    const qint64 lastRow = (width * bitsPerPixel + 7) / 8; // its padding may be left out
    const qint64 needed = qint64(dataOffset) + stride * (height - 1) + lastRow;
    const qint64 present = device->size() - device->pos();
    if (present >= needed)
        return QString();
    return QStringLiteral("The picture file is incomplete: it holds %1 bytes, "
                          "its %2 x %3 picture needs %4.")
        .arg(present)
        .arg(width)
        .arg(height)
        .arg(needed);
}

MapPicture Read(QImageReader& reader)
{
    // The reader decides the format from the content, not the file name.
    reader.setDecideFormatFromContent(true);

    // Before the reader touches the device: it moves past the header.
    if (const QString refused = CheckBmpHeader(reader.device()); !refused.isEmpty())
        return Failure(refused);

    const QSize declared = reader.size();
    if (declared.isValid() && TooLarge(declared.width(), declared.height()))
        return Failure(TooLargeText(declared.width(), declared.height()));

    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        const QString why = reader.errorString();
        return Failure(why.isEmpty() ? QStringLiteral("The picture could not be read.") : why);
    }
    return {picture, QString()};
}

} // namespace

MapPicture LoadMapPicture(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure(file.errorString());
    return LoadMapPicture(&file);
}

MapPicture LoadMapPicture(QIODevice* device)
{
    QImageReader reader(device);
    return Read(reader);
}

} // namespace tolva
