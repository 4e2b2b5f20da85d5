// The height rule, the 180 x 90 raster and its stretch and mirror.
#include "terrain/TerrainGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using namespace tolva;

namespace {

// The height of a colour is its brightness: the sum of its channels over 765.
TEST(ColorHeightTest, BrightnessIsTheSumOfTheChannels)
{
    EXPECT_FLOAT_EQ(ColorHeight(0x00808080u), 384.0f / 765.0f);
    EXPECT_FLOAT_EQ(ColorHeight(0x000000FFu), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(ColorHeight(0x7F000000u), 0.0f) << "the high byte is ignored";
    EXPECT_FLOAT_EQ(ColorHeight(kInvalidColor), 1.0f) << "the invalid value splits to white";
}

TEST(SplitColorTest, RedIsTheLowByte)
{
    EXPECT_EQ(SplitColor(0xAB123456u), (ColorChannels{0x56, 0x34, 0x12}));
}

// Places on the 180 x 90 raster. The walk's ground reads round half to even
// first, and the raster's outside reads as white; the mesh's samples, at
// whole places, read the outside as flat ground.
TEST(RasterEdgeTest, OutsideIsWhiteForTheWalkAndFlatForTheMesh)
{
    const struct { double x, z; bool inside; } rows[] = {
        {0, 0, true}, {179, 89, true}, {180, 0, false}, {0, 90, false}, {-1, 0, false}, {0, -1, false},
        {179.4, 10, true},   // 179
        {179.5, 10, false},  // 180
        {10, 88.5, true},    // 88
        {10, 89.5, false},   // 90
        {-0.5, 10, true},    // 0
        {-0.51, 10, false},  // -1
        {std::numeric_limits<double>::quiet_NaN(), 10, false},
        {1e300, 10, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.x << ", " << row.z);
        EXPECT_FLOAT_EQ(GroundHeight(TerrainGrid(), row.x, row.z), row.inside ? 0.0f : 1.0f);
        if (std::abs(row.x) < 1000 && row.x == std::trunc(row.x) && row.z == std::trunc(row.z)) {
            EXPECT_FLOAT_EQ(SampleHeight(TerrainGrid(0x00FFFFFFu), int(row.x), int(row.z), 10.0f),
                            row.inside ? 10.0f : 0.0f);
        }
    }
}

TEST(TerrainGridTest, APictureOfTheRasterSizeIsCopiedExactlyMirrored)
{
    QImage picture(kRasterWidth, kRasterHeight, QImage::Format_RGB32);
    for (int y = 0; y < kRasterHeight; ++y)
        for (int x = 0; x < kRasterWidth; ++x)
            picture.setPixel(x, y, qRgb(x, y, 7));
    const TerrainGrid grid = MakeTerrainGrid(picture);
    for (int y = 0; y < kRasterHeight; ++y)
        for (int x = 0; x < kRasterWidth; ++x)
            ASSERT_EQ(grid.ReadPixel(x, y), ColorRef(179 - x) | ColorRef(y) << 8 | 7u << 16)
                << x << "," << y;
}

TEST(TerrainGridTest, TinyTransparentAndNullPicturesFillTheWholeRaster)
{
    QImage onePixel(1, 1, QImage::Format_RGB32);
    onePixel.setPixel(0, 0, qRgb(30, 60, 90));
    QImage transparent(4, 2, QImage::Format_ARGB32);
    transparent.fill(qRgba(200, 100, 50, 0)); // a map's height is its colour, not its alpha
    const struct { QImage picture; ColorRef color; } rows[] = {
        {onePixel, 0x5A3C1Eu}, {transparent, 0x3264C8u}, {QImage(), 0u}};
    for (const auto& row : rows) {
        const TerrainGrid grid = MakeTerrainGrid(row.picture);
        for (const auto& [x, y] : {std::pair{0, 0}, {90, 45}, {179, 89}})
            EXPECT_EQ(grid.ReadPixel(x, y), row.color) << x << "," << y;
    }
}

} // namespace
