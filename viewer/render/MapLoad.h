#pragma once
// Loading a map into the scene, the one way every caller does it (the open
// command, the map panel, the live following, a switch of the rendering path,
// the render command): the picture, its 180 x 90 raster, the terrain mesh
// (LoadLandscape), then the material "Land", the light "Sun" and the camera
// "Main". The window's FileOpen adds what belongs to the window around it
// (controls, caption, the start view and the motion loop).

#include "render/Scene.h"
#include "render/ViewState.h"
#include "terrain/TerrainGrid.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

namespace tolva {

// Every terrain cell is drawn with "Land", which CreateMaterials adds as the
// first material after the load has emptied the lists, and without a texture.
inline constexpr std::uint8_t kLandMaterial = 1;
inline constexpr std::uint8_t kNoTexture = 0;

enum class MapLoadFailure {
    Picture,   // the file could not be read as a picture ("Open File error:")
    Landscape, // the mesh could not be built ("ERROR : Could not load landscape!")
};

struct MapLoadError {
    MapLoadFailure failure;
    // For a picture: the picture reader's own description of why.
    // For the mesh: "Could not load landscape!".
    QString description;
};

struct MapLoadResult {
    std::optional<MapLoadError> error; // empty: the scene holds the new map
    QImage picture;                    // the picture as read, for the map panel
    TerrainGrid grid;                  // its raster; walking and flying read the ground from it
    bool ok() const { return !error.has_value(); }
};

// Loads the map file at `path` into `scene`. Once the picture is read, sets
// the view's GridSize to the raster's width and its LightAttenuation from its
// LightLevel; MeshHeight and EarthColor are taken as they are.
//
// A picture that cannot be read leaves the scene as it was. A mesh that cannot
// be built (a mesh height that is not a number, memory) leaves the lists
// empty, without material, light or camera.
MapLoadResult LoadMap(Scene& scene, ViewState& view, const QString& path);
// The same from a picture already in memory (a null picture is refused with
// the description "The picture is empty.").
MapLoadResult LoadMap(Scene& scene, ViewState& view, const QImage& picture);

} // namespace tolva
