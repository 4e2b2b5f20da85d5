#include "demomap/DemoMap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tolva {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double SmoothStep(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// A fixed integer hash of a lattice point, in 0..1: the noise does not depend
// on any random generator or the machine.
double LatticeValue(int x, int y)
{
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFu) / 65535.0;
}

double ValueNoise(double x, double y)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = SmoothStep(0, 1, x - fx), ty = SmoothStep(0, 1, y - fy);
    const double top = LatticeValue(ix, iy) + (LatticeValue(ix + 1, iy) - LatticeValue(ix, iy)) * tx;
    const double bottom = LatticeValue(ix, iy + 1)
        + (LatticeValue(ix + 1, iy + 1) - LatticeValue(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

// Four octaves of value noise, in about 0..1.
double Fractal(double x, double y)
{
    double sum = 0, amplitude = 0.5, frequency = 1;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * ValueNoise(x * frequency, y * frequency);
        amplitude *= 0.5;
        frequency *= 2.0;
    }
    return sum / 0.9375;
}

// The lava flow's centre line: from the crater rim down the south-east flank,
// meandering as it slows.
struct FlowLine {
    static constexpr int kSteps = 64;
    double u[kSteps + 1];
    double v[kSteps + 1];
    double minU = 1e9, minV = 1e9, maxU = -1e9, maxV = -1e9;

    FlowLine(double cu, double cv)
    {
        for (int k = 0; k <= kSteps; ++k) {
            const double t = double(k) / kSteps;
            const double reach = 0.06 + 0.46 * t;
            const double heading = 0.55 + 0.35 * std::sin(t * 5.0) * t;
            u[k] = cu + reach * std::cos(heading);
            v[k] = cv + reach * std::sin(heading);
            minU = std::min(minU, u[k]);
            maxU = std::max(maxU, u[k]);
            minV = std::min(minV, v[k]);
            maxV = std::max(maxV, v[k]);
        }
    }
};

// Distance from (u, v) to the flow's centre line and how far down the flow
// that point lies (0 at the crater, 1 at the toe).
struct FlowPoint {
    double distance = 1e9;
    double along = 0;
};

FlowPoint NearestOnFlow(const FlowLine& flow, double u, double v, double margin)
{
    FlowPoint best;
    if (u < flow.minU - margin || u > flow.maxU + margin || v < flow.minV - margin
        || v > flow.maxV + margin)
        return best;
    for (int k = 0; k <= FlowLine::kSteps; ++k) {
        const double d = std::hypot(u - flow.u[k], v - flow.v[k]);
        if (d < best.distance)
            best = {d, double(k) / FlowLine::kSteps};
    }
    return best;
}

} // namespace

QImage MakeDemoMap(int width, int height)
{
    QImage map(width, height, QImage::Format_RGB32);
    if (map.isNull())
        return map;

    // u runs 0..2 across, v 0..1 down: square units on a 2:1 map.
    const double cu = 0.95, cv = 0.52; // the summit
    const FlowLine flowLine(cu, cv);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width * 2.0;
            const double v = (y + 0.5) / height;
            const double du = u - cu, dv = v - cv;
            const double r = std::hypot(du, dv);
            const double angle = std::atan2(dv, du);

            // Rolling plain.
            double h = 0.10 + 0.16 * Fractal(u * 4.0 + 11.0, v * 4.0 + 3.0);

            // The cone, concave flanks, with gullies between radial ridges on
            // the middle of the slope.
            const double outline = r * (0.85 + 0.3 * Fractal(u * 3.0 + 7.0, v * 3.0 + 1.0));
            const double k = Clamp01(1.0 - outline / 0.5);
            const double wobble = 4.0 * Fractal(u * 4.0, v * 4.0) + r * 12.0;
            const double gully = std::pow(0.5 + 0.5 * std::sin(angle * 11.0 + wobble), 3.0);
            h += 0.62 * std::pow(k, 1.25) * (1.0 - 0.22 * gully * 4.0 * k * (1.0 - k));

            // Summit crater: a rim and a floor below it.
            h += 0.05 * std::exp(-std::pow((r - 0.062) / 0.014, 2.0));
            h -= 0.20 * SmoothStep(0.060, 0.032, r);

            // A parasitic cone on the north-east flank.
            const double rp = std::hypot(u - 1.32, v - 0.30);
            h += 0.16 * std::pow(Clamp01(1.0 - rp / 0.09), 1.4);
            h -= 0.05 * SmoothStep(0.018, 0.006, rp);

            // The wall of an old caldera, an arc to the west.
            const double rc = std::hypot(u - 0.80, v - 0.50);
            const double arc = SmoothStep(-0.2, 0.6, -std::cos(std::atan2(v - 0.50, u - 0.80)));
            h += 0.09 * arc * std::exp(-std::pow((rc - 0.62) / 0.035, 2.0));

            // A river valley winding through the plain from north to south.
            const double riverU = 0.28 + 0.10 * std::sin(v * 7.0) + 0.04 * std::sin(v * 19.0);
            h -= 0.07 * std::exp(-std::pow((u - riverU) / 0.035, 2.0)) * (1.0 - k);

            h = Clamp01(h);
            double red = h * 1.03, green = h, blue = h * 0.97; // a warm grey ground

            // The lava flow: raised and bright, orange but with the same sum of
            // channels as its height, since only the sum makes a height.
            const FlowPoint flow = NearestOnFlow(flowLine, u, v, 0.1);
            const double halfWidth = 0.012 + 0.03 * flow.along;
            if (flow.distance < halfWidth * 1.6 && r > 0.05) {
                const double inside = SmoothStep(halfWidth * 1.6, halfWidth * 0.8, flow.distance);
                h = Clamp01(h + inside * (0.16 * (1.0 - 0.4 * flow.along)));
                const double sum = 3.0 * h;
                red = std::min(1.0, h * (1.0 + 0.7 * inside));
                green = std::min(1.0, h * (1.0 + 0.1 * inside));
                blue = std::max(0.0, sum - red - green);
                if (blue > 1.0) // a white-hot core where all three saturate
                    blue = 1.0;
            }
            line[x] = qRgb(int(std::lround(Clamp01(red) * 255.0)),
                           int(std::lround(Clamp01(green) * 255.0)),
                           int(std::lround(Clamp01(blue) * 255.0)));
        }
    }
    return map;
}

QImage MakeGrowingVolcano(int width, int height, double growth)
{
    QImage map(width, height, QImage::Format_RGB32);
    if (map.isNull())
        return map;
    growth = Clamp01(growth);
    const double cu = 1.0, cv = 0.5;                 // the vent, in the middle
    const double peak = 0.12 + 0.75 * growth;        // the cone's height
    const double radius = 0.16 + 0.30 * growth;      // its foot
    const double crater = 0.025 + 0.035 * growth;    // the crater's radius
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width * 2.0;
            const double v = (y + 0.5) / height;
            const double r = std::hypot(u - cu, v - cv);
            const double angle = std::atan2(v - cv, u - cu);

            double h = 0.08 + 0.12 * Fractal(u * 4.0 + 5.0, v * 4.0 + 9.0);
            const double k = Clamp01(1.0 - r * (0.9 + 0.2 * Fractal(u * 3.0, v * 3.0)) / radius);
            // Valleys cut down the flanks, deepest half-way down the slope.
            const double valley = std::pow(0.5 + 0.5 * std::sin(angle * 7.0 + 3.0 * Fractal(u * 2.0, v * 2.0)), 4.0);
            h += peak * std::pow(k, 1.3) * (1.0 - 0.3 * valley * 4.0 * k * (1.0 - k));
            // The crater: a rim and a floor below it.
            h += 0.04 * growth * std::exp(-std::pow((r - crater) / (0.3 * crater), 2.0));
            h -= (0.05 + 0.12 * growth) * SmoothStep(crater, 0.5 * crater, r);

            const int grey = int(std::lround(Clamp01(h) * 255.0));
            line[x] = qRgb(grey, grey, grey);
        }
    }
    return map;
}

} // namespace tolva
