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
ListObject* scatter_scene(uint32_t seed) {
    // A fixed 32-bit generator, so that the scenes are the same with every library.
    uint32_t state = seed;
    const auto next = [&state] { return (state = state * 1664525u + 1013904223u) >> 8; };
    const auto uniform = [&next](float low, float high) {
        return low + (high - low) * static_cast<float>(next()) / 16777216.0f;
    };
    ListObject* shapes = listobject_new(nullptr);
    for (int32_t s = 0; s < 3000; ++s) {
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

const LineImage kSquareClip{4,
                            {{0, 1}, {1, 2}, {2, 3}, {3, 0}},
                            4,
                            {{-0.5f, -0.5f, 1, 0, 0, 1},
                             {0.5f, -0.5f, 0, 1, 0, 1},
                             {0.5f, 0.5f, 0, 0, 1, 1},
                             {-0.5f, 0.5f, 0, 0, 0, 1}}};

// A frame that reuses the memory of the one before must show nothing of it.
TEST(FrameIdentity, FramesHaveTheBitsOfTheUnoptimisedRenderer) {
    const struct {
        bool grid;
        int32_t param; // G, or the scatter seed
        bool octagon;
        int32_t width, height;
        uint64_t hash;
    } scenes[] = {
        {true, 1, true, 500, 550, 12614234679239637015ull},
        {true, 32, true, 500, 550, 12247048440566438982ull},
        {true, 100, true, 500, 550, 3937652008852794380ull},
        {true, 300, true, 500, 550, 14500088836339763543ull},
        {true, 1, true, 1920, 1080, 14612626369987740751ull},
        {true, 32, true, 1920, 1080, 14825956515776981403ull},
        {true, 100, true, 1920, 1080, 1558172394209747001ull},
        {true, 300, true, 1920, 1080, 8600056957961867955ull},
        {false, 1, true, 500, 550, 14827637524431332492ull},
        {false, 2, true, 1920, 1080, 11335577152806516742ull},
        {false, 3, true, 333, 201, 8082112437483010760ull},
        {true, 32, false, 500, 550, 2956151694726296896ull},
        {true, 100, false, 501, 501, 17512372337252148691ull},
        {false, 4, false, 500, 550, 15438579309401512318ull},
    };
    for (const auto& s : scenes) {
        SCOPED_TRACE(testing::Message() << (s.grid ? "grid " : "scatter ") << s.param
                                        << (s.octagon ? " in the octagon, " : " in the square, ")
                                        << s.width << " x " << s.height);
        ListObject* shapes =
            s.grid ? scene_grid(s.param) : scatter_scene(static_cast<uint32_t>(s.param));
        const LineImage image = s.octagon ? scene_octagon() : kSquareClip;
        Raster* raster = raster_new(s.width, s.height);
        raster_fill(raster, Colour{NAN, NAN, NAN, NAN});
        raster = frame_render(raster, s.width, s.height, shapes, &image);
        EXPECT_EQ(frame_hash(raster), s.hash);
        raster_free(raster);
        listobject_free(shapes);
    }
}

} // namespace
