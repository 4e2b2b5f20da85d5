#include "render/MapLoad.h"

#include "render/Landscape.h"
#include "render/SceneBuilders.h"
#include "terrain/MapPicture.h"

namespace tolva {

namespace {

MapLoadResult Failed(MapLoadFailure failure, const QString& description)
{
    MapLoadResult result;
    result.error = MapLoadError{failure, description};
    return result;
}

} // namespace

MapLoadResult LoadMap(Scene& scene, ViewState& view, const QString& path)
{
    MapPicture map = LoadMapPicture(path);
    if (!map.ok())
        return Failed(MapLoadFailure::Picture, map.error);
    return LoadMap(scene, view, map.picture);
}

MapLoadResult LoadMap(Scene& scene, ViewState& view, const QImage& picture)
{
    view.LightAttenuation = LightAttenuationFor(view.LightLevel);
    if (picture.isNull())
        return Failed(MapLoadFailure::Picture, QStringLiteral("The picture is empty."));

    MapLoadResult result;
    result.picture = picture;
    result.grid = MakeTerrainGrid(picture);
    view.GridSize = float(kRasterWidth);
    if (!LoadLandscape(scene, result.grid, kRasterWidth, view.GridSize, view.MeshHeight,
                       kLandMaterial, kNoTexture))
        return Failed(MapLoadFailure::Landscape, QStringLiteral("Could not load landscape!"));
    CreateMaterials(scene, view.EarthColor);
    CreateLights(scene, view);
    CreateCameras(scene, view);
    return result;
}

} // namespace tolva
