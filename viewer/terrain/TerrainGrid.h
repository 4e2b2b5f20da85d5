#pragma once
// The sampling raster of a map and the height rule.
//
// A map picture of any size is stretched to a raster of 180 x 90 pixels and
// mirrored left-to-right; the terrain's grid points read that raster, one pixel
// per grid unit. The brightness of a pixel, (R + G + B) / 765, is its height as
// a fraction of the mesh height. The raster outlives the mesh built from it:
// walking and flying read their ground heights from it.

#include <QImage>

#include <cstdint>
#include <vector>

namespace tolva {

inline constexpr int kRasterWidth = 180;
inline constexpr int kRasterHeight = 90;

// What a pixel read outside the raster gives: all 32 bits set.
inline constexpr std::uint32_t kInvalidColor = 0xFFFFFFFFu;

// A colour reference: red in bits 0-7, green in 8-15, blue in 16-23.
using ColorRef = std::uint32_t;

struct ColorChannels {
    float r = 0.0f, g = 0.0f, b = 0.0f;
    bool operator==(const ColorChannels&) const = default;
};

class TerrainGrid {
public:
    // A black raster.
    TerrainGrid();
    // A raster of one colour.
    explicit TerrainGrid(ColorRef fill);

    // The colour reference of raster pixel (x, y), x in 0..179, y in 0..89;
    // kInvalidColor anywhere else.
    ColorRef ReadPixel(int x, int y) const;

    // Raw access for whoever draws the raster (the map panel): row-major,
    // kRasterWidth pixels a row.
    const std::vector<ColorRef>& pixels() const { return m_pixels; }
    void setPixel(int x, int y, ColorRef color);

private:
    std::vector<ColorRef> m_pixels;
};

// Fills the raster with the whole picture, stretched to 180 x 90 and mirrored
// left-to-right: raster column 0 shows the picture's right edge.
//
// The stretch is a smooth one (area averaging when the picture is larger than
// the raster, bilinear when smaller), so that pictures of one scene at
// different sizes give nearly the same terrain and a lone pixel of noise in a
// large picture does not decide a grid point's height on its own. Alpha is
// ignored: a map's height is its colour. A null picture gives a black raster.
TerrainGrid MakeTerrainGrid(const QImage& picture);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4), the rounding of every sample position.
double RoundHalfEven(double value);

// The raster pixel index of a sample position: rounded half to even; a
// position that is not a number or lies far beyond any raster gives -1, which
// reads outside.
int PixelIndex(double position);

ColorChannels SplitColor(ColorRef color);

// (R + G + B) / 765, in 0..1.
float ColorHeight(ColorRef color);

// The height of raster pixel (x, y) for a mesh of the given height; 0 outside
// the raster. The terrain mesh takes its heights from this.
float SampleHeight(const TerrainGrid& grid, int x, int y, float meshHeight);

// The ground under a walker at (x, z): ColorHeight of the raster pixel at the
// rounded position, with no test for a read outside, which therefore gives 1
// (the invalid value has three channels of 255). The caller multiplies by the
// mesh height. No interpolation: the ground is the pixel, not the triangle.
float GroundHeight(const TerrainGrid& grid, double x, double z);

} // namespace tolva
