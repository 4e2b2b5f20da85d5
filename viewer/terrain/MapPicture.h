#pragma once
// Reading a map picture. Maps are BMP pictures, but they come from anywhere
// and carry any extension (".ebm" is BMP content), so the reader goes by
// content. A picture that cannot be read comes back null with the reader's own
// description of why, which the window shows after "Open File error:".

#include <QImage>
#include <QString>

class QIODevice;

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

MapPicture LoadMapPicture(const QString& path);
MapPicture LoadMapPicture(QIODevice* device);

} // namespace tolva
