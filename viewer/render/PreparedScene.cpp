#include "render/PreparedScene.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <future>
#include <optional>
#include <system_error>

// The 64-bit form of SSE2 (every x86-64 processor has it); elsewhere the
// same arithmetic a lane at a time.
#if defined(__SSE2__) && defined(__x86_64__)
#define TOLVA_PREPARE_SSE2 1
#include <emmintrin.h>
#else
#define TOLVA_PREPARE_SSE2 0
#endif

namespace tolva {

namespace {

// Also takes a colour that is not a number (a light at an impossible place) to black.
float Clamp01(float v)
{
    return v > 0.0f ? std::min(v, 1.0f) : 0.0f;
}

// One position as four lanes: x, y, z and a fourth that is carried along and
// never read (loading a vertex's position takes its first normal component
// with it). With SSE2 the lanes are one register; elsewhere four floats.
#if TOLVA_PREPARE_SSE2
struct Point {
    __m128 v;
};

inline Point LoadPosition(const Vertex& vertex)
{
    // -0 and +0 are one position.
    return {_mm_add_ps(_mm_loadu_ps(&vertex.x), _mm_setzero_ps())};
}

// The bits of x and y, and of z.
inline std::uint64_t BitsXY(Point p) { return std::uint64_t(_mm_cvtsi128_si64(_mm_castps_si128(p.v))); }
inline std::uint32_t BitsZ(Point p) { return std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(_mm_castps_si128(p.v), 8))); }

inline bool SameBits(Point a, Point b)
{
    return (_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(_mm_castps_si128(a.v), _mm_castps_si128(b.v)))) & 7) == 7;
}

inline float X(Point p) { return _mm_cvtss_f32(p.v); }
inline float Y(Point p) { return _mm_cvtss_f32(_mm_shuffle_ps(p.v, p.v, 1)); }
inline float Z(Point p) { return _mm_cvtss_f32(_mm_movehl_ps(p.v, p.v)); }

// The running box of a chunk. `spoilt` stays 0 in a lane while every value in
// it is finite: 0 * v is a NaN for an infinity and a NaN, and a NaN stays.
struct Box {
    __m128 min = _mm_set1_ps(INFINITY), max = _mm_set1_ps(-INFINITY), spoilt = _mm_setzero_ps();

    void add(Point a, Point b, Point c)
    {
        min = _mm_min_ps(min, _mm_min_ps(a.v, _mm_min_ps(b.v, c.v)));
        max = _mm_max_ps(max, _mm_max_ps(a.v, _mm_max_ps(b.v, c.v)));
        const __m128 zero = _mm_setzero_ps();
        spoilt = _mm_add_ps(spoilt, _mm_add_ps(_mm_mul_ps(a.v, zero), _mm_add_ps(_mm_mul_ps(b.v, zero), _mm_mul_ps(c.v, zero))));
    }

    ChunkBox box() const
    {
        if (_mm_movemask_ps(_mm_cmpunord_ps(spoilt, spoilt)) & 7)
            return ChunkBox{{NAN, NAN, NAN}, {NAN, NAN, NAN}};
        alignas(16) float lo[4], hi[4];
        _mm_store_ps(lo, min);
        _mm_store_ps(hi, max);
        return ChunkBox{{lo[0], lo[1], lo[2]}, {hi[0], hi[1], hi[2]}};
    }
};
#else
struct Point {
    float v[4];
};

inline Point LoadPosition(const Vertex& vertex)
{
    // -0 and +0 are one position.
    return {{vertex.x + 0.0f, vertex.y + 0.0f, vertex.z + 0.0f, 0.0f}};
}

inline std::uint64_t BitsXY(Point p)
{
    return std::bit_cast<std::uint32_t>(p.v[0]) | std::uint64_t(std::bit_cast<std::uint32_t>(p.v[1])) << 32;
}
inline std::uint32_t BitsZ(Point p) { return std::bit_cast<std::uint32_t>(p.v[2]); }

inline bool SameBits(Point a, Point b) { return BitsXY(a) == BitsXY(b) && BitsZ(a) == BitsZ(b); }

inline float X(Point p) { return p.v[0]; }
inline float Y(Point p) { return p.v[1]; }
inline float Z(Point p) { return p.v[2]; }

struct Box {
    float min[3] = {INFINITY, INFINITY, INFINITY}, max[3] = {-INFINITY, -INFINITY, -INFINITY};
    bool spoilt = false;

    void add(Point a, Point b, Point c)
    {
        for (const Point& p : {a, b, c})
            for (int k = 0; k < 3; ++k) {
                min[k] = std::min(min[k], p.v[k]);
                max[k] = std::max(max[k], p.v[k]);
                spoilt |= !std::isfinite(p.v[k]);
            }
    }

    ChunkBox box() const
    {
        return spoilt ? ChunkBox{{NAN, NAN, NAN}, {NAN, NAN, NAN}}
                      : ChunkBox{{min[0], min[1], min[2]}, {max[0], max[1], max[2]}};
    }
};
#endif

// Finds or adds a position. An open-addressing table on the exact bits of the
// three coordinates: grid corners shared by neighbouring cells are the very
// same floats, so they collapse into one position.
class PositionTable {
public:
    PositionTable(PreparedScene& out, std::size_t expected) : m_out(out)
    {
        // At most a quarter full while no more positions come than expected:
        // a new position then finds an empty slot at once, mostly, rather than
        // comparing with the positions of full ones, which are cache misses.
        std::size_t size = 1024;
        while (size < expected * 3)
            size *= 2;
        resize(size);
        // Room for the expected positions from the start, rather than copies
        // of the lists as they grow.
        m_out.x.reserve(expected);
        m_out.y.reserve(expected);
        m_out.z.reserve(expected);
    }

    std::uint32_t indexOf(Point p)
    {
        const std::uint64_t xy = BitsXY(p);
        const auto bx = std::uint32_t(xy), by = std::uint32_t(xy >> 32);
        const std::uint32_t bz = BitsZ(p);
        const std::uint64_t h = hash(xy, bz);
        // The positions met lately first: a small table that stays in the
        // nearest cache, where the big one is a cache miss at nearly every
        // probe. Neighbouring cells share corners a few hundred positions
        // apart, so most corners are found here.
        std::uint32_t& recent = m_recent[(h >> 20) & (kRecent - 1)];
        if (recent < m_count && same(recent, bx, by, bz))
            return recent;
        for (std::size_t i = slotOf(h);; i = (i + 1) & m_mask) {
            const std::uint32_t slot = m_slots[i];
            if (slot == kEmpty) {
                const auto index = std::uint32_t(m_count++);
                m_out.x.push_back(X(p));
                m_out.y.push_back(Y(p));
                m_out.z.push_back(Z(p));
                m_slots[i] = index;
                recent = index;
                if (m_count * 2 > m_slots.size()) // half full
                    grow();
                return index;
            }
            if (same(slot, bx, by, bz))
                return recent = slot;
        }
    }

    // Starts loading the big table's slot where a lookup of the vertex's
    // position begins: for a new position it is a cache miss, which then
    // overlaps with the work on the polygons before.
    void prefetch(const Vertex& v) const
    {
        const Point p = LoadPosition(v);
        __builtin_prefetch(&m_slots[slotOf(hash(BitsXY(p), BitsZ(p)))]);
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

    static constexpr std::size_t kRecent = 4096;

    static std::uint64_t hash(std::uint64_t xy, std::uint32_t z)
    {
        std::uint64_t h = xy * 0x9E3779B97F4A7C15ull ^ z * 0xC2B2AE3D27D4EB4Full;
        h ^= h >> 32;
        return h * 0x165667B19E3779F9ull;
    }

    std::size_t slotOf(std::uint64_t h) const
    {
        return h >> m_shift;
    }

    bool same(std::uint32_t index, std::uint32_t bx, std::uint32_t by, std::uint32_t bz) const
    {
        return std::bit_cast<std::uint32_t>(m_out.x[index]) == bx && std::bit_cast<std::uint32_t>(m_out.y[index]) == by
               && std::bit_cast<std::uint32_t>(m_out.z[index]) == bz;
    }

    void resize(std::size_t size)
    {
        m_slots.assign(size, kEmpty);
        m_mask = size - 1;
        m_shift = 64 - std::countr_zero(size);
    }

    void grow()
    {
        resize(m_slots.size() * 2);
        for (std::size_t index = 0; index < m_out.x.size(); ++index) {
            const std::uint64_t xy = std::bit_cast<std::uint32_t>(m_out.x[index])
                                     | std::uint64_t(std::bit_cast<std::uint32_t>(m_out.y[index])) << 32;
            std::size_t i = slotOf(hash(xy, std::bit_cast<std::uint32_t>(m_out.z[index])));
            while (m_slots[i] != kEmpty)
                i = (i + 1) & m_mask;
            m_slots[i] = std::uint32_t(index);
        }
    }

    PreparedScene& m_out;
    // The positions so far, kept apart from the lists' own sizes: those are
    // loaded again after every store the compiler cannot tell from them.
    std::size_t m_count = 0;
    std::vector<std::uint32_t> m_slots;
    std::vector<std::uint32_t> m_recent = std::vector<std::uint32_t>(kRecent, kEmpty);
    std::size_t m_mask = 0;
    int m_shift = 0;
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
        for (const Term& t : m_terms)
            add(t, v, r, g, b);
        return {Clamp01(r), Clamp01(g), Clamp01(b), 1.0f};
    }

    // The same colour as Pixel(at(v)), to the bit.
    PixelColor pixelAt(const Vertex& v) const;

private:
    struct Term {
        bool directional = false, anyTerm = false;
        float x = 0.0f, y = 0.0f, z = 0.0f; // towards a directional light, or a point light's place
        float range = 0.0f, a0 = 0.0f, a1 = 0.0f, a2 = 0.0f;
        Color ambient, diffuse;             // the material's times the light's
    };

    static void add(const Term& t, const Vertex& v, float& r, float& g, float& b)
    {
        float lx = t.x, ly = t.y, lz = t.z, atten = 1.0f;
        if (!t.directional) {
            // From the vertex to the light; nothing beyond the range.
            lx -= v.x; ly -= v.y; lz -= v.z;
            const float d = std::sqrt(lx * lx + ly * ly + lz * lz);
            if (d > t.range)
                return;
            if (d > 0.0f) { lx /= d; ly /= d; lz /= d; }
            // 1 / (a0 + a1 d + a2 d^2); no fall-off when all three are 0.
            const float denominator = t.a0 + t.a1 * d + t.a2 * d * d;
            if (denominator != 0.0f)
                atten = 1.0f / denominator;
            else if (t.anyTerm)
                return; // terms that cancel out: an infinite light is no light
        }
        // Lambert with the normal as stored: longer normals (slopes) catch more light.
        const float lambert = std::max(0.0f, v.nx * lx + v.ny * ly + v.nz * lz);
        r += atten * (t.ambient.r + t.diffuse.r * lambert);
        g += atten * (t.ambient.g + t.diffuse.g * lambert);
        b += atten * (t.ambient.b + t.diffuse.b * lambert);
    }

    Color m_emissive;
    std::vector<Term> m_terms;
};


// Nearest level, halves up (the value is never negative).
inline PixelColor Pixel(const Color& c)
{
    const auto level = [](float v) { return PixelColor(Clamp01(v) * 255.0f + 0.5f); };
    return 0xFF000000u | (level(c.r) << 16) | (level(c.g) << 8) | level(c.b);
}

#if TOLVA_PREPARE_SSE2
// The three colour channels side by side in the lanes of one register, and the
// light's direction divided by the distance in one instruction. Every lane
// takes the very operations of the scalar form in the same order, and the
// sums across lanes are added one by one, left to right, as there, so the
// colours are the same to the bit. A vertex's colour is one long chain of
// dependent steps, so what shortens the chain counts more than what saves
// instructions.
PixelColor Lighting::pixelAt(const Vertex& v) const
{
    // Four floats are loaded at once from these records: a position and the
    // first normal component, the normal and the first texture coordinate, a
    // light's place and its range, a colour.
    static_assert(offsetof(Vertex, nx) == 3 * sizeof(float) && offsetof(Vertex, tu) == 6 * sizeof(float));
    static_assert(offsetof(Term, range) == offsetof(Term, x) + 3 * sizeof(float));
    static_assert(sizeof(Color) == 4 * sizeof(float));
    const auto lane = [](__m128 x, int i) {
        return _mm_cvtss_f32(i == 0 ? x : i == 1 ? _mm_shuffle_ps(x, x, 1) : _mm_movehl_ps(x, x));
    };
    // x y z and the first normal component, and the normal.
    const __m128 position = _mm_loadu_ps(&v.x);
    const __m128 normal = _mm_loadu_ps(&v.nx);
    __m128 rgb = _mm_setr_ps(m_emissive.r, m_emissive.g, m_emissive.b, 0.0f);
    for (const Term& t : m_terms) {
        __m128 l = _mm_loadu_ps(&t.x); // x y z and the range
        float atten = 1.0f;
        if (!t.directional) {
            l = _mm_sub_ps(l, position);
            const __m128 square = _mm_mul_ps(l, l);
            const float d = std::sqrt(lane(square, 0) + lane(square, 1) + lane(square, 2));
            if (d > t.range)
                continue;
            // The direction's division starts at once; the attenuation, worked
            // out beside it, is needed only at the end.
            if (d > 0.0f)
                l = _mm_div_ps(l, _mm_set1_ps(d));
            const float denominator = t.a0 + t.a1 * d + t.a2 * d * d;
            if (denominator != 0.0f)
                atten = 1.0f / denominator;
            else if (t.anyTerm)
                continue;
        }
        const __m128 product = _mm_mul_ps(normal, l);
        const float lambert = std::max(0.0f, lane(product, 0) + lane(product, 1) + lane(product, 2));
        const __m128 ambient = _mm_loadu_ps(&t.ambient.r);
        const __m128 diffuse = _mm_loadu_ps(&t.diffuse.r);
        rgb = _mm_add_ps(rgb, _mm_mul_ps(_mm_set1_ps(atten), _mm_add_ps(ambient, _mm_mul_ps(diffuse, _mm_set1_ps(lambert)))));
    }
    // Clamp01, then the nearest of 256 levels, as Pixel takes them.
    const __m128 clamped = _mm_and_ps(_mm_cmpgt_ps(rgb, _mm_setzero_ps()), _mm_min_ps(rgb, _mm_set1_ps(1.0f)));
    const __m128i levels = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(clamped, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f)));
    const __m128i bgr = _mm_shuffle_epi32(levels, _MM_SHUFFLE(3, 0, 1, 2));
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(bgr, bgr), _mm_setzero_si128());
    return 0xFF000000u | std::uint32_t(_mm_cvtsi128_si32(bytes));
}
#else
PixelColor Lighting::pixelAt(const Vertex& v) const
{
    return Pixel(at(v));
}
#endif

} // namespace

Color LightVertex(const Vertex& v, const Material& m, const std::vector<NamedLight>& lights)
{
    return Lighting(m, lights).at(v);
}

PixelColor ToPixel(const Color& c)
{
    return Pixel(c);
}

namespace {

// How many polygons ahead the big table's slots are fetched.
constexpr std::size_t kAhead = 4;

// Calls add(a, b, c, lit) for each triangle of a polygon of `n` vertices, in
// order (see PrepareScene); false for a type that draws nothing.
template <typename Add>
bool ForEachTriangle(std::int32_t type, std::size_t n, Add add)
{
    switch (type) {
    case TriangleList:
        for (std::size_t k = 0; k + 2 < n; k += 3)
            add(k, k + 1, k + 2, k);
        return true;
    case TriangleStrip:
        for (std::size_t k = 0; k + 2 < n; ++k) {
            if (k % 2 == 0)
                add(k, k + 1, k + 2, k);
            else
                add(k + 1, k, k + 2, k);
        }
        return true;
    case TriangleFan:
        for (std::size_t k = 0; k + 2 < n; ++k)
            add(0, k + 1, k + 2, k + 1);
        return true;
    default:
        return false; // points and lines are not part of this scene model
    }
}

// The shapes: the distinct positions and each triangle's corners.
void PrepareShapes(const std::vector<Polygon>& polygons, std::size_t vertexCount, std::size_t widest,
                   PreparedScene& out)
{
    PositionTable table(out, vertexCount / 3 + 16);
    std::uint32_t* corners = out.corners.data();
    // The position indices of the polygon's vertices, and of the polygon before.
    std::vector<std::uint32_t> index(widest), previousIndex(widest);
    std::vector<Point> points(widest), previousPoints(widest);
    std::size_t previousCount = 0;
    const std::size_t polygonCount = polygons.size();
    for (std::size_t p = 1; p < polygonCount; ++p) {
        const Polygon& polygon = polygons[p];
        const Vertex* v = polygon.Vertices.data();
        const std::size_t n = polygon.Vertices.size();
        // Vertices 2 on are mostly found in the polygon before (below); the
        // first two go to the tables, so their slots are fetched ahead.
        if (p + kAhead < polygonCount) {
            const std::vector<Vertex>& ahead = polygons[p + kAhead].Vertices;
            for (std::size_t i = 0; i < ahead.size() && i < 2; ++i)
                table.prefetch(ahead[i]);
        }
        index.swap(previousIndex);
        points.swap(previousPoints);
        for (std::size_t i = 0; i < n; ++i) {
            points[i] = LoadPosition(v[i]);
            // The cells of a terrain row share two corners with the cell before.
            if (i >= 2 && i - 2 < previousCount && SameBits(points[i], previousPoints[i - 2]))
                index[i] = previousIndex[i - 2];
            else
                index[i] = table.indexOf(points[i]);
        }
        previousCount = n;
        ForEachTriangle(polygon.PrimType, n, [&](std::size_t a, std::size_t b, std::size_t c, std::size_t) {
            corners[0] = index[a];
            corners[1] = index[b];
            corners[2] = index[c];
            corners += 3;
        });
    }
}

// The looks: each triangle's colour under the scene pass's material
// selection, what that selection did, and the chunk boxes.
void PrepareLooks(const Scene& scene, const Material& defaultMaterial, PreparedScene& out)
{
    const std::vector<Polygon>& polygons = scene.PolygonList();
    PixelColor* colors = out.colors.data();
    ChunkBox* chunk = out.chunks.data();

    // The scene pass starts on the default material and no texture.
    std::optional<Lighting> lighting(std::in_place, defaultMaterial, scene.LightList());
    int currentMaterial = 0;
    int currentTexture = 0;
    ++out.materialChanges;

    Box box;
    std::size_t chunkLeft = kChunkTriangles;
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
        const Vertex* v = polygon.Vertices.data();
        const bool drawn = ForEachTriangle(
            polygon.PrimType, polygon.Vertices.size(), [&](std::size_t a, std::size_t b, std::size_t c, std::size_t lit) {
                *colors++ = lighting->pixelAt(v[lit]);
                box.add(LoadPosition(v[a]), LoadPosition(v[b]), LoadPosition(v[c]));
                if (--chunkLeft == 0) {
                    *chunk++ = box.box();
                    box = Box{};
                    chunkLeft = kChunkTriangles;
                }
            });
        if (!drawn)
            out.ok = false;
    }
    if (chunkLeft != kChunkTriangles)
        *chunk = box.box();
}

} // namespace

PreparedScene PrepareScene(const Scene& scene, const Material& defaultMaterial)
{
    const std::vector<Polygon>& polygons = scene.PolygonList();
    PreparedScene out;
    // The lists are sized once, exactly, and filled in place.
    std::size_t vertexCount = 0, triangleCount = 0, widest = 0;
    for (std::size_t p = 1; p < polygons.size(); ++p) {
        const std::size_t n = polygons[p].Vertices.size();
        vertexCount += n;
        widest = std::max(widest, n);
        ForEachTriangle(polygons[p].PrimType, n, [&](std::size_t, std::size_t, std::size_t, std::size_t) { ++triangleCount; });
    }
    out.corners.resize(3 * triangleCount);
    out.colors.resize(triangleCount);
    out.chunks.resize((triangleCount + kChunkTriangles - 1) / kChunkTriangles);

    // The shapes and the looks fill separate lists from the same polygons:
    // the looks on a thread of their own, beside the shapes on this one (the
    // preparation after a map load then takes a third less time), or after
    // them where no thread can be started.
    std::future<void> looks;
    try {
        looks = std::async(std::launch::async, [&] { PrepareLooks(scene, defaultMaterial, out); });
    } catch (const std::system_error&) {
    }
    PrepareShapes(polygons, vertexCount, widest, out);
    if (looks.valid())
        looks.get();
    else
        PrepareLooks(scene, defaultMaterial, out);
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
