// The renderer's speed-ups must leave every frame exactly as it was: each scene below renders to
// the same bits as it did before any of them.
//
// How the hashes were produced: this test, with the same scenes and frame_hash, built on the
// renderer and lists of commit 68b1073 (the renderer as first committed, before any change made
// for speed); each expected value is the hash that build printed. The grid scenes with the
// octagon are the benchmarks' (bench/scenes.cpp). The scatter scenes add what the grid never
// reaches: points, segments, clockwise and thin triangles, fans, vertices off whole rows and far
// outside the view, shapes cut by several lines and shapes entirely outside; the square clip
// puts grid corners and snapped vertices exactly on its lines.
#include "scenes.h"

#include "render/frame.h"
#include "render/raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

namespace {

// FNV-1a over the size and then every float of the frame, each as its 32 bits, low byte first:
// -0 and +0, or two NaNs, hash differently, as they must.
uint64_t frame_hash(const Raster* raster) {
    uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](uint32_t word) {
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (word >> (8 * byte)) & 0xffu;
            hash *= 1099511628211ull;
        }
    };
    add(static_cast<uint32_t>(raster->width));
    add(static_cast<uint32_t>(raster->height));
    const size_t count = static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height);
    for (size_t i = 0; i < count; ++i) {
        const Colour& c = raster->pixels[i];
        for (const float field : {c.r, c.g, c.b, c.a}) {
            uint32_t bits = 0;
            std::memcpy(&bits, &field, sizeof bits);
            add(bits);
        }
    }
    return hash;
}

// A fixed 32-bit generator, so that the scatter scenes are the same with every library.
class Lcg {
  public:
    explicit Lcg(uint32_t seed) : state(seed) {}
    float uniform(float low, float high) {
        state = state * 1664525u + 1013904223u;
        return low + (high - low) * static_cast<float>(state >> 8) / 16777216.0f;
    }
    uint32_t below(uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    }

  private:
    uint32_t state;
};

// Shapes of 1 to 7 vertices of every orientation. Some vertices are snapped to a coarse grid so
// that corners fall on the clip lines and on whole raster rows; a few lie far outside the view.
ListObject* scatter_scene(uint32_t seed, int32_t count) {
    Lcg rng(seed);
    ListObject* shapes = listobject_new(nullptr);
    for (int32_t s = 0; s < count; ++s) {
        const uint32_t members = 1 + rng.below(7);
        const float cx = rng.uniform(-1.3f, 1.3f);
        const float cy = rng.uniform(-1.3f, 1.3f);
        const float size = rng.below(4) == 0 ? rng.uniform(0.2f, 1.5f) : rng.uniform(0.0f, 0.2f);
        ListVertex* shape = listvertex_new(nullptr);
        for (uint32_t k = 0; k < members; ++k) {
            Vertex v{cx + rng.uniform(-size, size), cy + rng.uniform(-size, size),
                     rng.uniform(0.0f, 1.0f),       rng.uniform(0.0f, 1.0f),
                     rng.uniform(0.0f, 1.0f),       1.0f};
            const uint32_t kind = rng.below(16);
            if (kind == 0) {
                v.x = static_cast<float>(static_cast<int32_t>(v.x * 10.0f)) / 10.0f;
                v.y = static_cast<float>(static_cast<int32_t>(v.y * 10.0f)) / 10.0f;
            } else if (kind == 1) {
                v.x *= 40.0f;
            }
            listvertex_append(shape, listvertex_node_new(&v));
        }
        listobject_append(shapes, listobject_node_new(shape));
    }
    return shapes;
}

// The square keeps |x| <= 0.5 and |y| <= 0.5: grid corners and snapped vertices fall exactly
// on its lines, where a vertex counts as inside and crossings coincide with vertices.
LineImage square_clip() {
    LineImage image;
    image.vertices = {{-0.5f, -0.5f, 1.0f, 0.0f, 0.0f, 1.0f},
                      {0.5f, -0.5f, 0.0f, 1.0f, 0.0f, 1.0f},
                      {0.5f, 0.5f, 0.0f, 0.0f, 1.0f, 1.0f},
                      {-0.5f, 0.5f, 0.0f, 0.0f, 0.0f, 1.0f}};
    image.lines = {{0, 1}, {1, 2}, {2, 3}, {3, 0}};
    image.vertexCount = 4;
    image.lineCount = 4;
    return image;
}

enum class Kind { grid, scatter };
enum class Clip { octagon, square };

struct Scene {
    Kind kind;
    int32_t param; // G, or the scatter seed
    Clip clip;
    int32_t width;
    int32_t height;
    uint64_t hash;
};

std::string scene_name(const Scene& scene) {
    return std::string(scene.kind == Kind::grid ? "grid" : "scatter") + "_" +
           std::to_string(scene.param) + "_" +
           (scene.clip == Clip::octagon ? "octagon" : "square") + "_" +
           std::to_string(scene.width) + "x" + std::to_string(scene.height);
}

void PrintTo(const Scene& scene, std::ostream* out) {
    *out << scene_name(scene);
}

class FrameIdentity : public testing::TestWithParam<Scene> {};

TEST_P(FrameIdentity, FrameHasTheBitsOfTheUnoptimisedRenderer) {
    const Scene& scene = GetParam();
    ListObject* shapes = scene.kind == Kind::grid
                             ? scene_grid(scene.param)
                             : scatter_scene(static_cast<uint32_t>(scene.param), 3000);
    const LineImage image = scene.clip == Clip::octagon ? scene_octagon() : square_clip();
    // The frame before it, of the same size, held nothing but NaN: a frame that reuses its
    // memory must show nothing of it.
    Raster* raster = raster_new(scene.width, scene.height);
    raster_fill(raster, Colour{NAN, NAN, NAN, NAN});
    raster = frame_render(raster, scene.width, scene.height, shapes, &image);
    EXPECT_EQ(frame_hash(raster), scene.hash);
    raster = raster_free(raster);
    shapes = listobject_free(shapes);
}

constexpr Scene kScenes[] = {
    {Kind::grid, 1, Clip::octagon, 500, 550, 12614234679239637015ull},
    {Kind::grid, 32, Clip::octagon, 500, 550, 12247048440566438982ull},
    {Kind::grid, 100, Clip::octagon, 500, 550, 3937652008852794380ull},
    {Kind::grid, 300, Clip::octagon, 500, 550, 14500088836339763543ull},
    {Kind::grid, 1, Clip::octagon, 1920, 1080, 14612626369987740751ull},
    {Kind::grid, 32, Clip::octagon, 1920, 1080, 14825956515776981403ull},
    {Kind::grid, 100, Clip::octagon, 1920, 1080, 1558172394209747001ull},
    {Kind::grid, 300, Clip::octagon, 1920, 1080, 8600056957961867955ull},
    {Kind::scatter, 1, Clip::octagon, 500, 550, 14827637524431332492ull},
    {Kind::scatter, 2, Clip::octagon, 1920, 1080, 11335577152806516742ull},
    {Kind::scatter, 3, Clip::octagon, 333, 201, 8082112437483010760ull},
    {Kind::grid, 32, Clip::square, 500, 550, 2956151694726296896ull},
    {Kind::grid, 100, Clip::square, 501, 501, 17512372337252148691ull},
    {Kind::scatter, 4, Clip::square, 500, 550, 15438579309401512318ull},
};

INSTANTIATE_TEST_SUITE_P(Scenes, FrameIdentity, testing::ValuesIn(kScenes),
                         [](const testing::TestParamInfo<Scene>& info) {
                             return scene_name(info.param);
                         });

} // namespace
