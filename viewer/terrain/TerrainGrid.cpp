#include "terrain/TerrainGrid.h"

#include <cmath>

namespace tolva {

TerrainGrid::TerrainGrid()
    : TerrainGrid(0u)
{
}

TerrainGrid::TerrainGrid(ColorRef fill)
    : m_pixels(std::size_t(kRasterWidth) * kRasterHeight, fill)
{
}

ColorRef TerrainGrid::ReadPixel(int x, int y) const
{
    if (x < 0 || x >= kRasterWidth || y < 0 || y >= kRasterHeight)
        return kInvalidColor;
    return m_pixels[std::size_t(y) * kRasterWidth + std::size_t(x)];
}

void TerrainGrid::setPixel(int x, int y, ColorRef color)
{
    if (x < 0 || x >= kRasterWidth || y < 0 || y >= kRasterHeight)
        return;
    m_pixels[std::size_t(y) * kRasterWidth + std::size_t(x)] = color;
}

TerrainGrid MakeTerrainGrid(const QImage& picture)
{
    TerrainGrid grid;
    if (picture.isNull())
        return grid;

    // Alpha goes first, so that the smooth stretch does not weigh colours by
    // their transparency. A BMP read is RGB32 already and this costs nothing.
    QImage source = picture.format() == QImage::Format_RGB32
        ? picture
        : picture.convertToFormat(QImage::Format_RGB32);
    QImage raster = source.scaled(kRasterWidth, kRasterHeight, Qt::IgnoreAspectRatio,
                                  Qt::SmoothTransformation);
    if (raster.format() != QImage::Format_RGB32)
        raster = raster.convertToFormat(QImage::Format_RGB32);
    if (raster.width() != kRasterWidth || raster.height() != kRasterHeight)
        return grid; // out of memory while scaling: a black raster, not a crash

    for (int y = 0; y < kRasterHeight; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(raster.constScanLine(y));
        for (int x = 0; x < kRasterWidth; ++x) {
            const QRgb rgb = line[kRasterWidth - 1 - x]; // mirrored left-to-right
            grid.setPixel(x, y, ColorRef(qRed(rgb)) | ColorRef(qGreen(rgb)) << 8
                                    | ColorRef(qBlue(rgb)) << 16);
        }
    }
    return grid;
}

double RoundHalfEven(double value)
{
    // Plain arithmetic rather than the maths library: the mesh rounds a few
    // ten thousand positions per load. Beyond 2^52 every double is whole.
    if (!(std::fabs(value) < 4.0e15))
        return value; // whole already, infinite or not a number
    const auto whole = std::int64_t(value); // towards zero
    const double fraction = value - double(whole);
    const bool odd = (whole & 1) != 0;
    if (fraction > 0.5 || (fraction == 0.5 && odd))
        return double(whole + 1);
    if (fraction < -0.5 || (fraction == -0.5 && odd))
        return double(whole - 1);
    return double(whole);
}

ColorChannels SplitColor(ColorRef color)
{
    return {float(color & 255u), float((color >> 8) & 255u), float((color & 0xFF0000u) >> 16)};
}

float ColorHeight(ColorRef color)
{
    const ColorChannels c = SplitColor(color);
    return (c.r + c.g + c.b) / 765.0f;
}

float SampleHeight(const TerrainGrid& grid, int x, int y, float meshHeight)
{
    const ColorRef color = grid.ReadPixel(x, y);
    if (color == kInvalidColor)
        return 0.0f;
    return ColorHeight(color) * meshHeight;
}

int PixelIndex(double position)
{
    const double rounded = RoundHalfEven(position);
    if (!(rounded >= -1.0e6 && rounded <= 1.0e6))
        return -1;
    return int(rounded);
}

float GroundHeight(const TerrainGrid& grid, double x, double z)
{
    return ColorHeight(grid.ReadPixel(PixelIndex(x), PixelIndex(z)));
}

} // namespace tolva
