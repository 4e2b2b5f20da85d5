#include "render/PreparedScene.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <optional>

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

namespace {

// The lighting of one material under the enabled lights of a list, with what
// does not depend on the vertex worked out once: the light's direction, and
// the products of the material's and the light's colours. The arithmetic for
// each vertex is the same as with every term taken afresh, so no colour
// changes by a bit.
class Lighting {
public:
    Lighting(const Material& m, const std::vector<NamedLight>& lights) : m_emissive(m.emissive)
    {
        for (std::size_t i = 1; i < lights.size(); ++i) {
            if (!lights[i].enabled)
                continue;
            const Light& l = lights[i].light;
            Term t;
            t.directional = l.type == DirectionalLight;
            if (t.directional) {
                // The light comes from the opposite of its direction, everywhere alike.
                t.x = -l.direction.x; t.y = -l.direction.y; t.z = -l.direction.z;
                const float len = std::sqrt(t.x * t.x + t.y * t.y + t.z * t.z);
                if (len > 0.0f) { t.x /= len; t.y /= len; t.z /= len; }
            } else {
                t.x = l.position.x; t.y = l.position.y; t.z = l.position.z;
            }
            t.range = l.range;
            t.a0 = l.attenuation0; t.a1 = l.attenuation1; t.a2 = l.attenuation2;
            t.anyTerm = t.a0 != 0.0f || t.a1 != 0.0f || t.a2 != 0.0f;
            t.ambient = {m.ambient.r * l.ambient.r, m.ambient.g * l.ambient.g, m.ambient.b * l.ambient.b, 0.0f};
            t.diffuse = {m.diffuse.r * l.diffuse.r, m.diffuse.g * l.diffuse.g, m.diffuse.b * l.diffuse.b, 0.0f};
            m_terms.push_back(t);
        }
    }

    Color at(const Vertex& v) const
    {
        float r = m_emissive.r, g = m_emissive.g, b = m_emissive.b;
        for (const Term& t : m_terms) {
            float lx = t.x, ly = t.y, lz = t.z, atten = 1.0f;
            if (!t.directional) {
                // From the vertex to the light; nothing beyond the range.
                lx -= v.x; ly -= v.y; lz -= v.z;
                const float d = std::sqrt(lx * lx + ly * ly + lz * lz);
                if (d > t.range)
                    continue;
                if (d > 0.0f) { lx /= d; ly /= d; lz /= d; }
                // 1 / (a0 + a1 d + a2 d^2); no fall-off when all three are 0.
                const float denominator = t.a0 + t.a1 * d + t.a2 * d * d;
                if (denominator != 0.0f)
                    atten = 1.0f / denominator;
                else if (t.anyTerm)
                    continue; // terms that cancel out: an infinite light is no light
            }
            // Lambert with the normal as stored: longer normals (slopes) catch more light.
            const float lambert = std::max(0.0f, v.nx * lx + v.ny * ly + v.nz * lz);
            r += atten * (t.ambient.r + t.diffuse.r * lambert);
            g += atten * (t.ambient.g + t.diffuse.g * lambert);
            b += atten * (t.ambient.b + t.diffuse.b * lambert);
        }
        return {Clamp01(r), Clamp01(g), Clamp01(b), 1.0f};
    }

private:
    struct Term {
        bool directional = false, anyTerm = false;
        float x = 0.0f, y = 0.0f, z = 0.0f; // towards a directional light, or a point light's place
        float range = 0.0f, a0 = 0.0f, a1 = 0.0f, a2 = 0.0f;
        Color ambient, diffuse;             // the material's times the light's
    };
    Color m_emissive;
    std::vector<Term> m_terms;
};

// Nearest level, halves up (the value is never negative).
inline PixelColor Pixel(const Color& c)
{
    const auto level = [](float v) { return PixelColor(Clamp01(v) * 255.0f + 0.5f); };
    return 0xFF000000u | (level(c.r) << 16) | (level(c.g) << 8) | level(c.b);
}

} // namespace

Color LightVertex(const Vertex& v, const Material& m, const std::vector<NamedLight>& lights)
{
    return Lighting(m, lights).at(v);
}

PixelColor ToPixel(const Color& c)
{
    return Pixel(c);
}

PreparedScene PrepareScene(const Scene& scene, const Material& defaultMaterial)
{
    const std::vector<Polygon>& polygons = scene.PolygonList();
    PreparedScene out;
    std::size_t vertexCount = 0;
    for (std::size_t p = 1; p < polygons.size(); ++p)
        vertexCount += polygons[p].Vertices.size();
    PositionTable table(out, vertexCount / 3 + 16);
    out.corners.reserve(vertexCount * 3 / 2);
    out.colors.reserve(vertexCount / 2);

    // The scene pass starts on the default material and no texture.
    std::optional<Lighting> lighting(std::in_place, defaultMaterial, scene.LightList());
    int currentMaterial = 0;
    int currentTexture = 0;
    ++out.materialChanges;

    std::vector<std::uint32_t> index;
    for (std::size_t p = 1; p < polygons.size(); ++p) {
        const Polygon& polygon = polygons[p];
        if (polygon.Material != currentMaterial) {
            // A material not in the list fails to select: the previous one stays.
            if (polygon.Material < scene.MaterialList().size())
                lighting.emplace(scene.MaterialList()[polygon.Material].material, scene.LightList());
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
            out.colors.push_back(Pixel(lighting->at(v[lit])));
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
    const float* x = scene.x.data();
    const float* y = scene.y.data();
    const float* z = scene.z.data();
    const std::uint32_t* corners = scene.corners.data();
    for (std::size_t c = 0; c < scene.chunks.size(); ++c) {
        const std::size_t first = 3 * c * kChunkTriangles;
        const std::size_t last = 3 * std::min(triangles, (c + 1) * kChunkTriangles);
        const std::uint32_t i0 = corners[first];
        float minX = x[i0], minY = y[i0], minZ = z[i0];
        float maxX = minX, maxY = minY, maxZ = minZ;
        // A NaN never wins a comparison, so it is noted apart.
        bool nan = false;
        for (std::size_t k = first; k < last; ++k) {
            const std::uint32_t i = corners[k];
            const float px = x[i], py = y[i], pz = z[i];
            nan |= (px != px) | (py != py) | (pz != pz);
            minX = std::min(minX, px); maxX = std::max(maxX, px);
            minY = std::min(minY, py); maxY = std::max(maxY, py);
            minZ = std::min(minZ, pz); maxZ = std::max(maxZ, pz);
        }
        const bool finite = std::isfinite(minX) && std::isfinite(minY) && std::isfinite(minZ)
                            && std::isfinite(maxX) && std::isfinite(maxY) && std::isfinite(maxZ);
        // A position that is not a finite number bounds nothing: such a chunk
        // is never skipped.
        scene.chunks[c] = nan || !finite ? ChunkBox{{NAN, NAN, NAN}, {NAN, NAN, NAN}}
                                         : ChunkBox{{minX, minY, minZ}, {maxX, maxY, maxZ}};
    }
}

} // namespace tolva
