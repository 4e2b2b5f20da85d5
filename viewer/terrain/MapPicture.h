#pragma once
// Reading a map picture. Maps are BMP pictures, but they come from anywhere
// and carry any extension (".ebm" is BMP content), so the reader goes by
// content. The file (or pipe) is read whole first and its bytes are checked
// before the picture reader decodes them. A picture that cannot be read comes
// back null with a description of why, which the window shows after
// "Open File error:".

#include <QImage>
#include <QString>

#include <QByteArray>

namespace tolva {

struct MapPicture {
    QImage picture; // null when the picture could not be read
    QString error;  // why, when it could not
    bool ok() const { return !picture.isNull(); }
};

// The largest picture a map may be, in pixels (about 8000 x 4000). Its header
// is checked before anything is decoded, so that a file claiming a gigantic
// picture costs no memory; the image reader's own allocation limit stays on
// as a second guard.
inline constexpr qint64 kMaxMapPixels = 32LL * 1024 * 1024;

// The most bytes a map file may hold: the largest picture at 64 bits a pixel,
// and room for its headers. A longer file or an endless pipe is refused.
inline constexpr qint64 kMaxMapFileBytes = kMaxMapPixels * 8 + 1024 * 1024;

MapPicture LoadMapPicture(const QString& path);
MapPicture LoadMapPicture(const QByteArray& bytes);

} // namespace tolva
