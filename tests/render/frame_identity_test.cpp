// The renderer's speed-ups must leave every frame exactly as it was. Each hash was printed by this
// test built on the renderer and lists of commit 68b1073, before any change made for speed. The
// grid scenes are the benchmarks'; the scatter scenes add points, segments, clockwise and thin
// triangles, fans, vertices off whole rows and far outside the view, and vertices exactly on the
// square clip polygon's lines.
#include "scenes.h"

#include "render/frame.h"
#include "render/raster.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

namespace {

// FNV-1a over the size and then the bytes of every pixel, as stored: -0 and +0 differ.
uint64_t frame_hash(const Raster* raster) {
    static_assert(std::endian::native == std::endian::little,
                  "the hashes take floats low byte first");
    uint64_t hash = 14695981039346656037ull;
    const auto add = [&hash](const void* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
        }
    };
    add(&raster->width, 4);
    add(&raster->height, 4);
    add(raster->pixels, sizeof(Colour) * static_cast<size_t>(raster->width) * raster->height);
    return hash;
}

// Shapes of 1 to 7 vertices, some snapped to a grid of tenths, a few far outside the view.
ListObject* scatter_scene(uint32_t seed, int32_t count) {
    // A fixed 32-bit generator, so that the scenes are the same with every library.
    uint32_t state = seed;
    const auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    const auto uniform = [&next](float low, float high) {
        return low + (high - low) * static_cast<float>(next()) / 16777216.0f;
    };
    ListObject* shapes = listobject_new(nullptr);
    for (int32_t s = 0; s < count; ++s) {
        const uint32_t members = 1 + next() % 7;
        const float cx = uniform(-1.3f, 1.3f);
        const float cy = uniform(-1.3f, 1.3f);
        const float size = next() % 4 == 0 ? uniform(0.2f, 1.5f) : uniform(0.0f, 0.2f);
        ListVertex* shape = listvertex_new(nullptr);
        for (uint32_t k = 0; k < members; ++k) {
            Vertex v{cx + uniform(-size, size), cy + uniform(-size, size), uniform(0.0f, 1.0f),
                     uniform(0.0f, 1.0f),       uniform(0.0f, 1.0f),       1.0f};
            const uint32_t kind = next() % 16;
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

constexpr bool kGrid = true, kScatter = false, kOctagon = true, kSquare = false;

struct Scene {
    bool grid;
    int32_t param; // G, or the scatter seed
    bool octagon;
    int32_t width, height;
    uint64_t hash;
};

std::string scene_name(const Scene& s) {
    return std::string(s.grid ? "grid_" : "scatter_") + std::to_string(s.param) +
           (s.octagon ? "_octagon_" : "_square_") + std::to_string(s.width) + "x" +
           std::to_string(s.height);
}

constexpr Scene kScenes[] = {
    {kGrid, 1, kOctagon, 500, 550, 12614234679239637015ull},
    {kGrid, 32, kOctagon, 500, 550, 12247048440566438982ull},
    {kGrid, 100, kOctagon, 500, 550, 3937652008852794380ull},
    {kGrid, 300, kOctagon, 500, 550, 14500088836339763543ull},
    {kGrid, 1, kOctagon, 1920, 1080, 14612626369987740751ull},
    {kGrid, 32, kOctagon, 1920, 1080, 14825956515776981403ull},
    {kGrid, 100, kOctagon, 1920, 1080, 1558172394209747001ull},
    {kGrid, 300, kOctagon, 1920, 1080, 8600056957961867955ull},
    {kScatter, 1, kOctagon, 500, 550, 14827637524431332492ull},
    {kScatter, 2, kOctagon, 1920, 1080, 11335577152806516742ull},
    {kScatter, 3, kOctagon, 333, 201, 8082112437483010760ull},
    {kGrid, 32, kSquare, 500, 550, 2956151694726296896ull},
    {kGrid, 100, kSquare, 501, 501, 17512372337252148691ull},
    {kScatter, 4, kSquare, 500, 550, 15438579309401512318ull},
};

// A frame that reuses the memory of the one before must show nothing of it.
TEST(FrameIdentity, FramesHaveTheBitsOfTheUnoptimisedRenderer) {
    for (const Scene& scene : kScenes) {
        SCOPED_TRACE(scene_name(scene));
        ListObject* shapes = scene.grid ? scene_grid(scene.param)
                                        : scatter_scene(static_cast<uint32_t>(scene.param), 3000);
        const LineImage image = scene.octagon ? scene_octagon() : square_clip();
        Raster* raster = raster_new(scene.width, scene.height);
        raster_fill(raster, Colour{NAN, NAN, NAN, NAN});
        raster = frame_render(raster, scene.width, scene.height, shapes, &image);
        EXPECT_EQ(frame_hash(raster), scene.hash);
        raster_free(raster);
        listobject_free(shapes);
    }
}

} // namespace
