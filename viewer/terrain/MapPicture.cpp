#include "terrain/MapPicture.h"

#include "common/ReadWhole.h"

#include <QBuffer>
#include <QImageReader>

#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>

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

quint32 Little32(const QByteArray& bytes, qsizetype at)
{
    quint32 value = 0;
    for (int k = 3; k >= 0; --k)
        value = value << 8 | quint8(bytes[at + k]);
    return value;
}

quint16 Little16(const QByteArray& bytes, qsizetype at)
{
    return quint16(quint8(bytes[at]) | quint8(bytes[at + 1]) << 8);
}

enum Compression : quint32 { Plain = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

const QString kRleDamaged =
    QStringLiteral("The picture file is damaged: its run-length data does not fill the picture exactly.");
const QString kRleCut =
    QStringLiteral("The picture file is incomplete: its run-length data ends before the picture is filled.");

// The image reader decodes run-length (RLE8, RLE4) pictures without filling
// what the data leaves out: pixels skipped by a jump or an early end of line,
// and everything after a stream that stops short, keep whatever the memory
// held. So the stream is walked here first, opcode by opcode, and taken only
// when its runs fill every pixel of every row, row by row, without leaving the
// picture. Returns why it is refused, or empty text.
QString CheckRunLengths(const QByteArray& bytes, qint64 offset, qint64 width, qint64 height, bool fourBits)
{
    if (height <= 0) // run-length pictures are stored bottom-up only
        return kRleDamaged;
    qint64 x = 0, y = 0; // y counts the rows filled
    qint64 at = offset;
    const qint64 size = bytes.size();
    for (;;) {
        const bool filled = y == height || (y == height - 1 && x == width);
        if (y == height)
            return QString(); // the reader stops after the last end of line
        if (at + 2 > size)
            return filled ? QString() : kRleCut;
        const quint8 count = quint8(bytes[at]);
        const quint8 code = quint8(bytes[at + 1]);
        at += 2;
        if (count > 0) { // a run of `count` pixels of one value
            if (x + count > width)
                return kRleDamaged;
            x += count;
        } else if (code == 0) { // end of line: only after a full row
            if (x != width)
                return kRleDamaged;
            x = 0;
            ++y;
        } else if (code == 1) { // end of picture
            return filled ? QString() : kRleDamaged;
        } else if (code == 2) { // a jump, which leaves the pixels it skips undefined
            return kRleDamaged;
        } else { // `code` pixels given one by one, padded to 16 bits
            const qint64 data = fourBits ? (code + 1) / 2 : code;
            if (x + code > width)
                return kRleDamaged;
            if (at + data > size)
                return kRleCut;
            at += (data + 1) / 2 * 2;
            x += code;
        }
    }
}

// Checks a BMP's header and pixel data against each other before decoding.
// The image reader accepts a BMP whose pixel data stops short and fills the
// missing rows with black, which would make a cut-off download or a map the
// simulator is still writing look like a real terrain with a cliff. An
// uncompressed BMP says how many bytes its rows take, so a short file is
// refused here; run-length data is walked (CheckRunLengths). A header claiming
// a gigantic picture is refused too, before any sum over its size could
// overflow. Returns why the picture is refused, or empty text.
QString CheckBmp(const QByteArray& bytes)
{
    if (bytes.size() < 30 || !bytes.startsWith("BM"))
        return QString();

    const quint32 dataOffset = Little32(bytes, 10);
    const quint32 infoSize = Little32(bytes, 14);
    qint64 width = 0, height = 0, bitsPerPixel = 0;
    quint32 compression = Plain;
    if (infoSize == 12) { // the old core header: 16-bit sizes, never compressed
        width = Little16(bytes, 18);
        height = Little16(bytes, 20);
        bitsPerPixel = Little16(bytes, 24);
    } else if (infoSize >= 40 && bytes.size() >= 34) {
        width = qint32(Little32(bytes, 18));
        height = qint32(Little32(bytes, 22));
        bitsPerPixel = Little16(bytes, 28);
        compression = Little32(bytes, 30);
    } else {
        return QString();
    }
    if (width <= 0 || height == 0 || bitsPerPixel <= 0 || bitsPerPixel > 32)
        return QString(); // not ours to judge: the reader refuses these itself
    if (TooLarge(width, qAbs(height))) // and beyond any file this check could measure
        return TooLargeText(width, qAbs(height));

    if (compression == Rle8 || compression == Rle4) {
        if (bitsPerPixel != (compression == Rle8 ? 8 : 4))
            return kRleDamaged;
        return CheckRunLengths(bytes, dataOffset, width, height, compression == Rle4);
    }
    if (compression != Plain && compression != BitFields && compression != AlphaBitFields)
        return QString();

    height = qAbs(height);
    const qint64 stride = (width * bitsPerPixel + 31) / 32 * 4;
    const qint64 lastRow = (width * bitsPerPixel + 7) / 8; // its padding may be left out
    const qint64 needed = qint64(dataOffset) + stride * (height - 1) + lastRow;
    if (bytes.size() >= needed)
        return QString();
    return QStringLiteral("The picture file is incomplete: it holds %1 bytes, "
                          "its %2 x %3 picture needs %4.")
        .arg(bytes.size())
        .arg(width)
        .arg(height)
        .arg(needed);
}

// The reader refuses to allocate a picture beyond its memory limit and then
// says only that it could not read the data; say why, before it tries.
QString BeyondReaderLimit(QImage::Format format, QSize size)
{
    const int limitMb = QImageReader::allocationLimit();
    if (limitMb <= 0 || format == QImage::Format_Invalid || !size.isValid())
        return QString();
    const qint64 bitsPerPixel = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (size.width() * bitsPerPixel + 31) / 32 * 4;
    const qint64 needed = bytesPerLine * size.height();
    if (needed <= qint64(limitMb) << 20)
        return QString();
    // In tenths of a megabyte, rounded up: a picture just beyond reads "8.1 MB".
    const qint64 tenths = (needed * 10 + (1 << 20) - 1) >> 20;
    return QStringLiteral("The picture is too large for the picture reader's memory limit: "
                          "its %1 x %2 picture needs %3.%4 MB, the limit is %5 MB.")
        .arg(size.width())
        .arg(size.height())
        .arg(tenths / 10)
        .arg(tenths % 10)
        .arg(limitMb);
}

// The format the reader expects to decode into, or Format_Invalid. A JPEG
// whose header is damaged makes the reader answer a format it never set
// (whatever the memory held), so the format is asked only of a picture whose
// header gave a size, and taken as a plain number: a value no format has is
// not a format.
QImage::Format DeclaredFormat(QImageReader& reader, QSize declared)
{
    if (!declared.isValid())
        return QImage::Format_Invalid;
    const QImage::Format answer = reader.imageFormat();
    std::underlying_type_t<QImage::Format> value;
    std::memcpy(&value, &answer, sizeof value); // no load of a value the enum may not hold
    if (value <= QImage::Format_Invalid || value >= QImage::NImageFormats)
        return QImage::Format_Invalid;
    return QImage::Format(value);
}

// A plain 24-bit picture, the kind most programs write maps in, is decoded
// here: the image reader takes it pixel by pixel, several times slower. The
// result is the very image the reader gives (RGB32, the rows in top-down
// order, the header's resolution). Anything else, or anything unusual about
// it, is left to the reader: empty then. CheckBmp has already made sure the
// file holds the rows its header claims.
// One row of blue, green, red bytes to opaque RGB32 pixels. On x86-64 it is
// compiled twice, and the AVX2 form, about half the time, is chosen at run
// time where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
void ExpandRow24(const uchar* from, QRgb* to, qint64 width)
{
    for (qint64 x = 0; x < width; ++x, from += 3)
        to[x] = 0xFF000000u | QRgb(from[2]) << 16 | QRgb(from[1]) << 8 | from[0];
}

std::optional<MapPicture> DecodePlain24(const QByteArray& bytes)
{
    if (bytes.size() < 54 || !bytes.startsWith("BM"))
        return std::nullopt;
    const quint32 dataOffset = Little32(bytes, 10);
    const quint32 infoSize = Little32(bytes, 14);
    const qint64 width = qint32(Little32(bytes, 18));
    const qint64 height = qint32(Little32(bytes, 22));
    if (infoSize < 40 || qint64(dataOffset) < 14 + qint64(infoSize) || Little16(bytes, 26) != 1
        || Little16(bytes, 28) != 24 || Little32(bytes, 30) != Plain || width <= 0 || height == 0
        || height == std::numeric_limits<qint32>::min())
        return std::nullopt;
    const qint64 rows = qAbs(height);
    const qint64 stride = (width * 3 + 3) / 4 * 4;
    if (TooLarge(width, rows) || bytes.size() < qint64(dataOffset) + stride * (rows - 1) + width * 3)
        return std::nullopt;
    if (const QString refused = BeyondReaderLimit(QImage::Format_RGB32, QSize(int(width), int(rows)));
        !refused.isEmpty())
        return Failure(refused);
    QImage image(int(width), int(rows), QImage::Format_RGB32);
    if (image.isNull())
        return std::nullopt; // no memory for it: the reader says so in its words
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData()) + dataOffset;
    for (qint64 y = 0; y < rows; ++y) {
        // Positive heights store the bottom row first.
        const uchar* from = data + (height > 0 ? rows - 1 - y : y) * stride;
        ExpandRow24(from, reinterpret_cast<QRgb*>(image.scanLine(int(y))), width);
    }
    image.setDotsPerMeterX(qint32(Little32(bytes, 38)));
    image.setDotsPerMeterY(qint32(Little32(bytes, 42)));
    return MapPicture{image, QString()};
}

} // namespace

MapPicture LoadMapPicture(const QString& path)
{
    const WholeFile file = ReadWhole(path, kMaxMapFileBytes);
    if (!file.ok())
        return Failure(file.error);
    if (file.beyond(kMaxMapFileBytes))
        return Failure(QStringLiteral("The file is too large to be a map: it holds more than %1 bytes.")
                           .arg(kMaxMapFileBytes));
    return LoadMapPicture(file.bytes);
}

MapPicture LoadMapPicture(const QByteArray& bytes)
{
    if (const QString refused = CheckBmp(bytes); !refused.isEmpty())
        return Failure(refused);
    if (std::optional<MapPicture> plain = DecodePlain24(bytes))
        return *std::move(plain);

    QByteArray data = bytes; // shared, not copied: the buffer only reads it
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // The reader decides the format from the content, not the file name.
    reader.setDecideFormatFromContent(true);

    const QSize declared = reader.size();
    if (declared.isValid() && TooLarge(declared.width(), declared.height()))
        return Failure(TooLargeText(declared.width(), declared.height()));
    if (const QString refused = BeyondReaderLimit(DeclaredFormat(reader, declared), declared);
        !refused.isEmpty())
        return Failure(refused);

    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        const QString why = reader.errorString();
        return Failure(why.isEmpty() ? QStringLiteral("The picture could not be read.") : why);
    }
    return {picture, QString()};
}

} // namespace tolva
