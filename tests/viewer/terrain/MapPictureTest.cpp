// Reading map pictures: by content whatever the extension, and a clear
// description for every file that is not a whole picture.
#include "terrain/MapPicture.h"
#include "support/FileNodes.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDataStream>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

using namespace tolva;
using tolva::testing::ReadThroughFifo;

namespace {

QByteArray Encoded(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes); // opened by the writer
    picture.save(&buffer, format);
    return bytes;
}

QImage Grey(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(90, 120, 150));
    return picture;
}

quint32 Crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A BMP header that claims a picture of the given size, with a little data.
QByteArray BmpClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = Encoded(Grey(4, 4), "BMP").left(54);
    qToLittleEndian<quint32>(width, bytes.data() + 18);
    qToLittleEndian<quint32>(height, bytes.data() + 22);
    return bytes + QByteArray(1000, '\x55');
}

// A whole PNG whose header claims the given size (with a valid checksum).
QByteArray PngClaiming(quint32 width, quint32 height)
{
    QByteArray bytes = Encoded(Grey(4, 4), "PNG");
    // Signature (8), IHDR length (4), "IHDR" at 12, width at 16, height at 20, CRC at 29.
    qToBigEndian<quint32>(width, bytes.data() + 16);
    qToBigEndian<quint32>(height, bytes.data() + 20);
    qToBigEndian<quint32>(Crc32(bytes.mid(12, 17)), bytes.data() + 29);
    return bytes;
}

// A run-length BMP of the given size, grey palette and pixel stream (RLE8,
// or RLE4 when `fourBits`); `bits` overrides the bits per pixel it claims.
QByteArray RleBmp(bool fourBits, int width, int height, const QByteArray& stream, int bits = 0)
{
    const quint32 colours = fourBits ? 16 : 256;
    const quint32 offset = 14 + 40 + colours * 4;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    // The file header, then the info header: planes, bits, compression, data size, colours.
    out << quint16(0x4D42) << quint32(offset + stream.size()) << quint32(0) << offset;
    out << quint32(40) << qint32(width) << qint32(height) << quint16(1) << quint16(bits ? bits : fourBits ? 4 : 8)
        << quint32(fourBits ? 2 : 1) << quint32(stream.size()) << quint64(0) << colours << quint32(0);
    for (quint32 c = 0; c < colours; ++c) {
        const quint8 level = quint8(c * 255 / (colours - 1));
        out << level << level << level << quint8(0);
    }
    return bytes + stream;
}

// Two rows of eight pixels: a run of 5 and 3 given one by one (padded), then a
// run of 8; "end of line" after each row and "end of picture". In RLE4 a run's
// value byte holds two alternating pixels.
const QByteArray kRle8Rows = QByteArray::fromHex("0510" "0003404040" "00" "0000" "0880" "0000" "0001");
const QByteArray kRle4Rows = QByteArray::fromHex("05ff" "00030f0f" "0000" "0807" "0000" "0001");

class MapPictureTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(tolva::testing::WriteBytes(path, bytes));
        return path;
    }
    QTemporaryDir m_dir;
};

// A map is read by its content, whatever its name: a PNG named .ebm is a map
// like a BMP (the picture reader never sees the name).
TEST_F(MapPictureTest, APngNamedEbmIsRead)
{
    const MapPicture map = LoadMapPicture(write(QStringLiteral("Png.ebm"), Encoded(Grey(36, 18), "PNG")));
    EXPECT_EQ(map.picture, Grey(36, 18)) << qPrintable(map.error);
}

// A plain 24-bit picture is decoded without the image reader; it must give
// the very image the reader gives: every row padding (widths 1 to 5), rows
// long enough for the vector form of the decoding with every tail (37, 71),
// both row orders, the header's resolution. A file without the padding after
// its last row, which the size check allows, gives the same picture (some
// writers leave it out); a byte less is refused.
TEST(PlainPicture, IsTheImageTheReaderGives)
{
    for (const int width : {1, 2, 3, 4, 5, 37, 71})
        for (const int height : {1, 3})
            for (const bool topDown : {false, true}) {
                SCOPED_TRACE(QStringLiteral("%1 x %2%3").arg(width).arg(height).arg(topDown ? " top-down" : "").toStdString());
                QImage picture(width, height, QImage::Format_RGB32);
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x)
                        picture.setPixel(x, y, qRgb(40 * x + 1, 70 * y + 2, 11 * x + 13 * y + 3));
                picture.setDotsPerMeterX(2835 + width);
                picture.setDotsPerMeterY(3780 + height);
                QByteArray bytes = Encoded(topDown ? picture.mirrored() : picture, "BMP");
                if (topDown)
                    qToLittleEndian<qint32>(-height, bytes.data() + 22);
                const QImage expected = QImage::fromData(bytes, "BMP");
                ASSERT_EQ(expected, picture); // their format too
                // Without the last row's padding (which the reader then
                // fills from beyond the data), the same picture.
                for (const int chop : {0, width % 4}) {
                    const MapPicture map = LoadMapPicture(bytes.chopped(chop));
                    EXPECT_EQ(map.picture, expected) << qPrintable(map.error);
                    EXPECT_EQ(map.picture.dotsPerMeterX(), expected.dotsPerMeterX());
                    EXPECT_EQ(map.picture.dotsPerMeterY(), expected.dotsPerMeterY());
                }
                EXPECT_FALSE(LoadMapPicture(bytes.chopped(width % 4 + 1)).ok());
            }
}

const QByteArray kBmp = Encoded(Grey(360, 180), "BMP"); // 54 + 360 * 3 * 180 = 194,454 bytes

TEST_F(MapPictureTest, BadFilesGiveTheirDescriptionAndNoPicture)
{
    const QString rleCut = "The picture file is incomplete: its run-length data ends before the picture is filled.";
    const QString rleDamaged = "The picture file is damaged: its run-length data does not fill the picture exactly.";
    const struct { const char* name; QByteArray bytes; QString error; } rows[] = {
        {"Empty", QByteArray(), "Unsupported image format"},
        {"BmpHeaderCut", kBmp.left(20), "Unable to read image data"},
        {"BmpOneByteShort", kBmp.left(194453),
         "The picture file is incomplete: it holds 194453 bytes, its 360 x 180 picture needs 194454."},
        {"BmpClaimingTheLargestSize", BmpClaiming(0x7FFFFFFF, 0x80000000u),
         "The picture is too large (2147483647 x 2147483648 pixels); a map may have at most 33554432 pixels."},
        {"BmpJustTooLarge", BmpClaiming(8193, 4096),
         "The picture is too large (8193 x 4096 pixels); a map may have at most 33554432 pixels."},
        {"BmpAtTheLimitButEmpty", BmpClaiming(8192, 4096),
         "The picture file is incomplete: it holds 1054 bytes, its 8192 x 4096 picture needs 100663350."},
        {"PngJustTooLarge", PngClaiming(8193, 4096),
         "The picture is too large (8193 x 4096 pixels); a map may have at most 33554432 pixels."},
        // The limit itself passes the size check and fails on the missing data.
        {"PngAtTheLimitButEmpty", PngClaiming(8192, 4096), "Unable to read image data"},
        {"Rle8CutInARun", RleBmp(false, 8, 2, kRle8Rows.left(11)), rleCut},
        {"Rle8CutInPixelsGivenOneByOne", RleBmp(false, 8, 2, kRle8Rows.left(5)), rleCut},
        {"Rle8OnePixelPastTheRow", RleBmp(false, 8, 2, QByteArray::fromHex("05100003404040000110")), rleDamaged},
        {"Rle8EarlyEndOfLine", RleBmp(false, 8, 2, QByteArray::fromHex("07100000088000000001")), rleDamaged},
        {"Rle8Jump", RleBmp(false, 8, 2, QByteArray::fromHex("0810000000020200068000000001")), rleDamaged},
        {"Rle8EarlyEndOfPicture", RleBmp(false, 8, 2, QByteArray::fromHex("081000000001")), rleDamaged},
        {"Rle4ClaimingEightBits", RleBmp(true, 8, 2, kRle4Rows, 8), rleDamaged},
        {"Rle8TopDown", RleBmp(false, 8, -2, kRle8Rows), rleDamaged},
        // The reader answers a format it never set for a header like this one.
        {"JpegHeaderDamaged", QByteArray::fromHex("ffd8ffffffffffff98"), "Unable to read image data"},
    };
    for (const auto& row : rows) {
        const MapPicture map = LoadMapPicture(write(QStringLiteral("map.ebm"), row.bytes));
        EXPECT_TRUE(map.picture.isNull()) << row.name;
        EXPECT_EQ(map.error, row.error) << row.name;
    }
}

// What is not a file to read is refused with the whole-file reader's reason
// (its own tests go through every kind).
TEST_F(MapPictureTest, AFolderGivesTheReadersReason)
{
    EXPECT_EQ(LoadMapPicture(m_dir.path()).error, QStringLiteral("It is a folder, not a file"));
}

// A file is read up to one byte past the limit, and refused from that byte on
// (the file is sparse: nothing is written to the disk).
TEST_F(MapPictureTest, AFileBeyondTheSizeLimitIsRefusedUnread)
{
    const QString tooLarge =
        QStringLiteral("The file is too large to be a map: it holds more than %1 bytes.").arg(kMaxMapFileBytes);
    QFile file(m_dir.filePath(QStringLiteral("Huge.ebm")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kMaxMapFileBytes));
    const QString atLimit = LoadMapPicture(file.fileName()).error;
    EXPECT_TRUE(!atLimit.isEmpty() && atLimit != tooLarge) << qPrintable(atLimit);
    ASSERT_TRUE(file.resize(kMaxMapFileBytes + 1));
    EXPECT_EQ(LoadMapPicture(file.fileName()).error, tooLarge);
}

// Read through a pipe, a whole picture is read and one a byte short is refused
// as its bytes are (the bad files' table holds the words).
TEST_F(MapPictureTest, APipeIsCheckedLikeAFile)
{
    for (const QByteArray& bytes : {kBmp, kBmp.left(194453)}) {
        const MapPicture map = ReadThroughFifo(bytes, 1, [](const QString& path) { return LoadMapPicture(path); });
        EXPECT_EQ(map.error, bytes.size() == kBmp.size() ? QString() : LoadMapPicture(bytes).error);
    }
}

TEST_F(MapPictureTest, WholeRunLengthPicturesAreRead)
{
    const QByteArray withoutEnd = kRle8Rows.chopped(2);
    for (const QByteArray& bytes : {RleBmp(false, 8, 2, kRle8Rows), RleBmp(false, 8, 2, withoutEnd),
                                    RleBmp(false, 8, 2, withoutEnd.chopped(2)), RleBmp(true, 8, 2, kRle4Rows)}) {
        // The pixels are the picture reader's to decode.
        const MapPicture map = LoadMapPicture(bytes);
        EXPECT_EQ(map.picture.size(), QSize(8, 2)) << qPrintable(map.error);
    }
}

// A 16-bit picture takes 8 bytes a pixel: within the pixel limit it may still
// need more memory than the picture reader allows itself.
TEST_F(MapPictureTest, APictureBeyondTheReadersMemoryLimitSaysSo)
{
    const int savedLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(8);
    const auto deepPng = [](int height) {
        QImage deep(1024, height, QImage::Format_RGBA64);
        deep.fill(QColor(90, 120, 150));
        return Encoded(deep, "PNG");
    };
    const MapPicture fits = LoadMapPicture(deepPng(1024)); // 8 MB exactly
    const MapPicture beyond = LoadMapPicture(deepPng(1025));
    QImageReader::setAllocationLimit(savedLimit);
    EXPECT_TRUE(fits.ok()) << qPrintable(fits.error);
    EXPECT_EQ(beyond.error, QStringLiteral("The picture is too large for the picture reader's memory limit: "
                                           "its 1024 x 1025 picture needs 8.1 MB, the limit is 8 MB."));
}

} // namespace
