#pragma once
// The terrain mesh: one four-vertex triangle strip per grid cell, each with its
// own copy of its corners, and the normals that light it.

#include "terrain/Polygon.h"
#include "terrain/TerrainGrid.h"

namespace tolva {

// Terrain cells along each side after every load.
inline constexpr int kGridSize = 180;

// The heights of the grid points (x, z), x and z from 1 to cells + 1, each
// sampled once from the raster at pixel (x * step, z * step), both rounded half
// to even, with SampleHeight. step is the raster pixels per grid unit (1 for
// the viewer's raster). Neighbouring cells share their corner samples, so a
// load reads each grid point once instead of four times.
class GridHeights {
public:
    // Throws std::bad_alloc when the table does not fit in memory.
    GridHeights(const TerrainGrid& grid, int cells, double step, float meshHeight);

    int cells() const { return m_cells; }
    // The height at grid point (x, z); 0 for a point outside 1..cells + 1.
    float at(int x, int z) const
    {
        if (x < 1 || x > m_cells + 1 || z < 1 || z > m_cells + 1)
            return 0.0f;
        return m_heights[std::size_t(z - 1) * std::size_t(m_cells + 1) + std::size_t(x - 1)];
    }

private:
    int m_cells = 0;
    std::vector<float> m_heights; // (cells + 1)^2, row by row in z
};

// Makes `cell` the strip of terrain cell (i, j), i along x and j along z:
// vertices (i, j+1), (i+1, j+1), (i, j), (i+1, j), each with the normal of the
// first triangle, (v1 - v0) x (v2 - v1), not normalised. Seen from
// above both of its triangles turn clockwise. The cell's vertex storage is
// reused when it has room, so that reloading a map allocates nothing per cell.
void SetTerrainCell(Polygon& cell, const GridHeights& heights, int i, int j,
                    std::uint8_t material, std::uint8_t texture);

} // namespace tolva
