#include "MapPicture.h"

#include <QFile>
#include <QImageReader>

namespace tolva {

namespace {

MapPicture Failure(const QString& error)
{
    return {QImage(), error};
}

MapPicture Read(QImageReader& reader)
{
    // The reader decides the format from the content, not the file name.
    reader.setDecideFormatFromContent(true);

    const QSize declared = reader.size();
    if (declared.isValid()
        && qint64(declared.width()) * qint64(declared.height()) > kMaxMapPixels) {
        return Failure(QStringLiteral("The picture is too large (%1 x %2 pixels); "
                                      "a map may have at most %3 pixels.")
                           .arg(declared.width())
                           .arg(declared.height())
                           .arg(kMaxMapPixels));
    }

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
