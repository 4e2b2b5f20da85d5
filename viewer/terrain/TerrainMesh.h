#pragma once
// The terrain mesh: one four-vertex triangle strip per grid cell, each with its
// own copy of its corners, and the normals that light it.

#include "Polygon.h"
#include "TerrainGrid.h"

namespace tolva {

// Terrain cells along each side after every load.
inline constexpr int kGridSize = 180;
inline constexpr int kTerrainCellCount = kGridSize * kGridSize; // 32,400

// (b - a) x (c - b): the first edge crossed with the second, not normalised.
Vector3 FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c);

// Fills the normals of a polygon's vertices from their positions, by
// primitive type:
// - triangle list: each complete triangle (k, k+1, k+2), k = 0, 3, 6, ...,
//   gives its face normal to its three vertices; a trailing partial triangle
//   keeps its normals;
// - triangle strip: every vertex takes the face normal of vertices 0, 1, 2, so
//   a cell is flat-shaded by the slope of its first triangle and the fourth
//   corner does not enter the normal;
// - a fan, an unknown type or fewer than three vertices: nothing changes.
// Normals stay as computed: on a slope a terrain normal is longer than 1 and
// the cell is lit brighter, which is part of the look.
void ComputeNormals(Polygon& polygon);

// Where the corners of cell (i, j) sample the raster and what the cell is made
// of. step is the raster pixels per grid unit (1 for the viewer's raster).
struct CellSampling {
    float step = 1.0f;
    float meshHeight = 1.0f;
    std::uint8_t material = 1;
    std::uint8_t texture = 0;
};

// The strip of cell (i, j), i along x and j along z: vertices (i, j+1),
// (i+1, j+1), (i, j), (i+1, j) with heights from SampleHeight at the sample
// positions rounded half to even, normals filled. Seen from above both of its
// triangles turn clockwise.
Polygon MakeTerrainCell(const TerrainGrid& grid, int i, int j, const CellSampling& sampling);

} // namespace tolva
