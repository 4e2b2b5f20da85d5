// Any bytes as a map file: reading the picture, the raster and the mesh. A
// picture that cannot be read must say why; one that can must give the whole
// terrain.
#include "render/Landscape.h"
#include "terrain/MapPicture.h"
#include "terrain/TerrainGrid.h"

#include <QBuffer>
#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Image format plugins are found through the application.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const tolva::MapPicture map = tolva::LoadMapPicture(bytes);
    if (!map.ok()) {
        if (map.error.isEmpty())
            std::abort(); // a failure without a reason
        return 0;
    }
    if (qint64(map.picture.width()) * map.picture.height() > tolva::kMaxMapPixels)
        std::abort(); // the size check let a giant through

    static tolva::Scene scene;
    const tolva::TerrainGrid grid = tolva::MakeTerrainGrid(map.picture);
    if (!tolva::LoadLandscape(scene, grid, 180, 180.0f, 10.0f, 1, 0)
        || scene.PolygonList().size() != 32401)
        std::abort();
    for (std::size_t k = 1; k < scene.PolygonList().size(); k += 97) {
        const float y = scene.PolygonList()[k].Vertices[0].y;
        if (!(y >= 0.0f && y <= 10.0f))
            std::abort(); // a height outside 0..MeshHeight
    }
    return 0;
}
