#include "render/PreparedScene.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tolva {

namespace {

// Also takes a colour that is not a number (a light at an impossible place) to black.
float Clamp01(float v)
{
    return v > 0.0f ? std::min(v, 1.0f) : 0.0f;
}

// Finds or adds a position. An open-addressing table on the exact bits of the
// three coordinates: grid corners shared by neighbouring cells are the very
// same floats, so they collapse into one position.
class PositionTable {
public:
    explicit PositionTable(PreparedScene& out, std::size_t expected) : m_out(out)
    {
        std::size_t size = 1024;
        while (size < expected * 2)
            size *= 2;
        m_slots.assign(size, kEmpty);
    }

    std::uint32_t indexOf(float x, float y, float z)
    {
        // -0 and +0 are one position.
        x += 0.0f; y += 0.0f; z += 0.0f;
        const std::uint32_t bx = std::bit_cast<std::uint32_t>(x);
        const std::uint32_t by = std::bit_cast<std::uint32_t>(y);
        const std::uint32_t bz = std::bit_cast<std::uint32_t>(z);
        std::uint64_t h = (bx * 0x9E3779B97F4A7C15ull) ^ (by * 0xC2B2AE3D27D4EB4Full) ^ (bz * 0x165667B19E3779F9ull);
        h ^= h >> 29;
        std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = h & mask;; i = (i + 1) & mask) {
            const std::uint32_t slot = m_slots[i];
            if (slot == kEmpty) {
                const auto index = std::uint32_t(m_out.x.size());
                m_out.x.push_back(x);
                m_out.y.push_back(y);
                m_out.z.push_back(z);
                m_slots[i] = index;
                if (m_out.x.size() * 2 > m_slots.size())
                    grow();
                return index;
            }
            if (std::bit_cast<std::uint32_t>(m_out.x[slot]) == bx
                && std::bit_cast<std::uint32_t>(m_out.y[slot]) == by
                && std::bit_cast<std::uint32_t>(m_out.z[slot]) == bz)
                return slot;
        }
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

    void grow()
    {
        std::vector<std::uint32_t> old = std::move(m_slots);
        m_slots.assign(old.size() * 2, kEmpty);
        const std::size_t count = m_out.x.size();
        std::vector<float> x = std::move(m_out.x), y = std::move(m_out.y), z = std::move(m_out.z);
        m_out.x.clear(); m_out.y.clear(); m_out.z.clear();
        for (std::size_t i = 0; i < count; ++i)
            indexOf(x[i], y[i], z[i]);
    }

    PreparedScene& m_out;
    std::vector<std::uint32_t> m_slots;
};

} // namespace

Color LightVertex(const Vertex& v, const Material& m, const std::vector<NamedLight>& lights)
{
    float r = m.emissive.r, g = m.emissive.g, b = m.emissive.b;
    for (std::size_t i = 1; i < lights.size(); ++i) {
        if (!lights[i].enabled)
            continue;
        const Light& l = lights[i].light;
        float lx, ly, lz, atten = 1.0f;
        if (l.type == DirectionalLight) {
            // The light comes from the opposite of its direction, everywhere alike.
            lx = -l.direction.x; ly = -l.direction.y; lz = -l.direction.z;
            const float len = std::sqrt(lx * lx + ly * ly + lz * lz);
            if (len > 0.0f) { lx /= len; ly /= len; lz /= len; }
        } else {
            // From the vertex to the light; nothing beyond the range.
            lx = l.position.x - v.x; ly = l.position.y - v.y; lz = l.position.z - v.z;
            const float d = std::sqrt(lx * lx + ly * ly + lz * lz);
            if (d > l.range)
                continue;
            if (d > 0.0f) { lx /= d; ly /= d; lz /= d; }
            // 1 / (a0 + a1 d + a2 d^2); no fall-off when all three are 0.
            const float denominator = l.attenuation0 + l.attenuation1 * d + l.attenuation2 * d * d;
            if (denominator != 0.0f)
                atten = 1.0f / denominator;
            else if (l.attenuation0 != 0.0f || l.attenuation1 != 0.0f || l.attenuation2 != 0.0f)
                continue; // terms that cancel out: an infinite light is no light
        }
        // Lambert with the normal as stored: longer normals (slopes) catch more light.
        const float lambert = std::max(0.0f, v.nx * lx + v.ny * ly + v.nz * lz);
        r += atten * (m.ambient.r * l.ambient.r + m.diffuse.r * l.diffuse.r * lambert);
        g += atten * (m.ambient.g * l.ambient.g + m.diffuse.g * l.diffuse.g * lambert);
        b += atten * (m.ambient.b * l.ambient.b + m.diffuse.b * l.diffuse.b * lambert);
    }
    return {Clamp01(r), Clamp01(g), Clamp01(b), 1.0f};
}

PixelColor ToPixel(const Color& c)
{
    // Nearest level, halves up (the value is never negative).
    const auto level = [](float v) { return PixelColor(Clamp01(v) * 255.0f + 0.5f); };
    return 0xFF000000u | (level(c.r) << 16) | (level(c.g) << 8) | level(c.b);
}

PreparedScene PrepareScene(const Scene& scene, const Material& defaultMaterial)
{
    PreparedScene out;
    std::size_t vertexCount = 0;
    for (std::size_t p = 1; p < scene.PolygonList().size(); ++p)
        vertexCount += scene.PolygonList()[p].Vertices.size();
    PositionTable table(out, vertexCount / 3 + 16);
    out.corners.reserve(vertexCount * 3 / 2);
    out.colors.reserve(vertexCount / 2);

    // The scene pass starts on the default material and no texture.
    const Material* material = &defaultMaterial;
    int currentMaterial = 0;
    int currentTexture = 0;
    ++out.materialChanges;

    std::vector<std::uint32_t> index;
    for (std::size_t p = 1; p < scene.PolygonList().size(); ++p) {
        const Polygon& polygon = scene.PolygonList()[p];
        if (polygon.Material != currentMaterial) {
            // A material not in the list fails to select: the previous one stays.
            if (polygon.Material < scene.MaterialList().size())
                material = &scene.MaterialList()[polygon.Material].material;
            else
                out.ok = false;
            currentMaterial = polygon.Material;
            ++out.materialChanges;
        }
        if (polygon.Texture != currentTexture) {
            if (polygon.Texture >= scene.TextureList().size())
                out.ok = false;
            currentTexture = polygon.Texture;
            ++out.textureChanges;
        }

        const auto& v = polygon.Vertices;
        const std::size_t n = v.size();
        index.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            index[i] = table.indexOf(v[i].x, v[i].y, v[i].z);
        const auto add = [&](std::size_t a, std::size_t b, std::size_t c, std::size_t lit) {
            out.corners.insert(out.corners.end(), {index[a], index[b], index[c]});
            out.colors.push_back(ToPixel(LightVertex(v[lit], *material, scene.LightList())));
        };
        switch (polygon.PrimType) {
        case TriangleList:
            for (std::size_t k = 0; k + 2 < n; k += 3)
                add(k, k + 1, k + 2, k);
            break;
        case TriangleStrip:
            for (std::size_t k = 0; k + 2 < n; ++k) {
                if (k % 2 == 0)
                    add(k, k + 1, k + 2, k);
                else
                    add(k + 1, k, k + 2, k);
            }
            break;
        case TriangleFan:
            for (std::size_t k = 0; k + 2 < n; ++k)
                add(0, k + 1, k + 2, k + 1);
            break;
        default:
            out.ok = false; // points and lines are not part of this scene model
            break;
        }
    }
    BoundChunks(out);
    return out;
}

void BoundChunks(PreparedScene& scene)
{
    const std::size_t triangles = scene.triangleCount();
    scene.chunks.assign((triangles + kChunkTriangles - 1) / kChunkTriangles, ChunkBox{});
    for (std::size_t c = 0; c < scene.chunks.size(); ++c) {
        ChunkBox& box = scene.chunks[c];
        const std::size_t first = 3 * c * kChunkTriangles;
        const std::size_t last = 3 * std::min(triangles, (c + 1) * kChunkTriangles);
        const std::uint32_t i0 = scene.corners[first];
        box = {{scene.x[i0], scene.y[i0], scene.z[i0]}, {scene.x[i0], scene.y[i0], scene.z[i0]}};
        // A NaN never wins a comparison, so it is noted apart.
        bool nan = false;
        for (std::size_t k = first; k < last; ++k) {
            const std::uint32_t i = scene.corners[k];
            const float p[3] = {scene.x[i], scene.y[i], scene.z[i]};
            for (int a = 0; a < 3; ++a) {
                nan |= p[a] != p[a];
                box.min[a] = std::min(box.min[a], p[a]);
                box.max[a] = std::max(box.max[a], p[a]);
            }
        }
        const auto finite = [](const float* v) { return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]); };
        // A position that is not a finite number bounds nothing: such a chunk
        // is never skipped.
        if (nan || !finite(box.min) || !finite(box.max))
            box = {{NAN, NAN, NAN}, {NAN, NAN, NAN}};
    }
}

} // namespace tolva
