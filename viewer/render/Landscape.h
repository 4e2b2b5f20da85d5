#pragma once
// The terrain mesh of a loaded map, put into the scene.

#include "render/Scene.h"
#include "terrain/TerrainGrid.h"

#include <cstdint>

namespace tolva {

// Empties every scene list and appends one four-vertex strip per terrain cell,
// cells in the order i = 1..n (outer), j = 1..n (inner), so that cell (i, j)
// lands at index (i - 1) * n + j. n is gridSize rounded (180 in the viewer);
// the corners of cell (i, j) sample the raster at (x, z) * cellsFromScale /
// gridSize. Returns false, with the lists empty, when the arguments describe no
// sensible grid (a size that is not a number, zero, negative or beyond 4096
// cells a side) or memory runs out.
bool LoadLandscape(Scene& scene, const TerrainGrid& grid, int cellsFromScale, float gridSize,
                   float meshHeight, std::uint8_t material, std::uint8_t texture);

} // namespace tolva
