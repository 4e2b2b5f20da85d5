#include "render/Landscape.h"

#include "render/SceneBuilders.h"
#include "terrain/TerrainMesh.h"

#include <cmath>
#include <new>

namespace tolva {

namespace {

// Far beyond the viewer's 180 cells, small enough that a mistaken size cannot
// ask for gigabytes of polygons.
constexpr int kMaxCellsPerSide = 4096;

} // namespace

bool LoadLandscape(Scene& scene, const TerrainGrid& grid, int cellsFromScale, float gridSize,
                   float meshHeight, std::uint8_t material, std::uint8_t texture)
{
    // The old cells and their list are overwritten in place: a reload (the
    // live following loads every map the simulator writes) then allocates
    // nothing, neither per cell nor for the list.
    std::vector<Polygon> polygons;
    polygons.swap(scene.m_polygons);
    ClearSceneLists(scene);

    const double cells = RoundHalfEven(gridSize);
    if (!(cells >= 1.0 && cells <= kMaxCellsPerSide) || !std::isfinite(meshHeight))
        return false;
    const double step = double(cellsFromScale) / double(gridSize);
    if (!std::isfinite(step))
        return false;

    const int n = int(cells);
    try {
        const GridHeights heights(grid, n, step, meshHeight);
        // Slot 0 stays the empty polygon the cleared list starts with.
        polygons.resize(std::size_t(n) * std::size_t(n) + 1);
        polygons[0] = Polygon{};
        std::size_t next = 1;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                SetTerrainCell(polygons[next++], heights, i, j, material, texture);
    } catch (const std::bad_alloc&) {
        return false;
    }
    scene.m_polygons.swap(polygons);
    // One new revision for the whole mesh rather than one per cell.
    scene.changed();
    return true;
}

} // namespace tolva
