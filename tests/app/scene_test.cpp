// The input rules of the scene, without a window: what each key and click does to the state.
// The end-to-end tests cover clearing, dropping and the vertex colours in the real window.
#include "app/scene.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Float rounding of the colour steps and the view mapping.
constexpr float tolerance = 1e-6f;
constexpr int32_t side = 257;

void expect_colour(const Colour& actual, const Colour& expected, const std::string& context) {
    EXPECT_NEAR(actual.r, expected.r, tolerance) << context;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << context;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << context;
    EXPECT_NEAR(actual.a, expected.a, tolerance) << context;
}

void press(const std::string& keys) {
    for (const char key : keys) {
        scene_key(static_cast<unsigned char>(key));
    }
}

class Scene : public testing::Test {
  protected:
    void SetUp() override { reset(); }
    void TearDown() override { release(); }

    static void release() {
        shapes = listobject_free(shapes);
        pendingShape = listvertex_free(pendingShape);
        frameRaster = raster_free(frameRaster);
    }

    // A fresh start with a palette of three colours and a first frame of side x side.
    static void reset() {
        release();
        config = Config{};
        config.colourCount = 3;
        config.palette = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 0.5f}};
        init_scene_state();
        frameRaster = raster_new(side, side);
    }

    static int32_t shape_size(int index) {
        const ObjectNode* node = shapes->head;
        for (int i = 0; i < index; ++i) {
            node = node->next;
        }
        return node->shape->nmembers;
    }
};

TEST_F(Scene, KeysPickAndShiftTheCurrentColour) {
    const struct {
        const char* keys;
        Colour expected;
    } cases[] = {
        {"0", {1, 0, 0, 1}},
        {"2", {0, 0, 1, 0.5f}}, // alpha comes with the palette entry
        {"23456789", {0, 0, 1, 0.5f}},
        {"1<>N?x", {0, 1, 0, 1}}, // only the listed keys act
        {"1.", {0.05f, 1.05f, 0.05f, 1}},
        {"0,,", {0.9f, -0.1f, -0.1f, 1}},
        {",", {-0.05f, -0.05f, -0.05f, 0}},
    };
    for (const auto& c : cases) {
        reset();
        press(c.keys);
        expect_colour(currentColour, c.expected, std::string("keys \"") + c.keys + "\"");
    }
}

TEST_F(Scene, TwentyDarkeningsTakeWhiteToBlackAndTheNextGoesBelow) {
    colour_set(&currentColour, 1, 1, 1, 0.5f);
    press(std::string(20, ','));
    expect_colour(currentColour, {0, 0, 0, 0.5f}, "twenty steps");
    press(",");
    expect_colour(currentColour, {-0.05f, -0.05f, -0.05f, 0.5f}, "twenty-one steps");
}

TEST_F(Scene, SpaceCommitsThePendingShapeEvenWhenEmpty) {
    press(" ");
    EXPECT_EQ(shapes->nmembers, 0) << "nothing to commit before the first click";

    for (int i = 0; i < 3; ++i) {
        scene_left_click(10 * i, 20, side);
    }
    press(" ");
    ASSERT_EQ(shapes->nmembers, 1);
    EXPECT_EQ(shape_size(0), 3);
    ASSERT_NE(pendingShape, nullptr);
    EXPECT_EQ(pendingShape->nmembers, 0);

    press(" ");
    ASSERT_EQ(shapes->nmembers, 2);
    EXPECT_EQ(shape_size(1), 0);
}

// Before the first frame, and on a frame with no view mapping (a side below 2 pixels, or a
// window too large to allocate, which leaves a 0 x 0 raster), a click has nothing to map through.
TEST_F(Scene, ClickWithoutAMappableFrameIsIgnored) {
    frameRaster = raster_free(frameRaster);
    scene_left_click(100, 100, side);
    EXPECT_EQ(pendingShape, nullptr);
    for (const int32_t width : {0, 1}) {
        frameRaster = raster_new(width, side);
        scene_left_click(0, 100, side);
        EXPECT_EQ(pendingShape, nullptr) << "frame width " << width;
        frameRaster = raster_free(frameRaster);
    }
}

// Window pixel (x, y) of a 257-high window becomes raster position (x, 257 - y): the bottom
// pixel row lands on raster row 1, the top row one above the raster.
TEST_F(Scene, ClickBecomesAVertexInViewUnitsOfTheLastFrame) {
    const struct {
        int32_t frameWidth;
        int32_t x;
        int32_t y;
        float viewX;
        float viewY;
    } cases[] = {
        {side, 128, 128, 0, 1.0f / 128},
        {side, 0, 256, -1, -1 + 1.0f / 128},
        {side, 256, 0, 1, 1 + 1.0f / 128},
        {385, 192, 128, 0, 1.0f / 128}, // a wider frame spans x from -1.5 to 1.5
        {385, 0, 256, -1.5f, -1 + 1.0f / 128},
    };
    for (const auto& c : cases) {
        reset();
        frameRaster = raster_free(frameRaster);
        frameRaster = raster_new(c.frameWidth, side);
        press("2");
        scene_left_click(c.x, c.y, side);
        ASSERT_NE(pendingShape, nullptr);
        const Vertex& v = pendingShape->head->vertex;
        const std::string context = "click at " + std::to_string(c.x) + ", " + std::to_string(c.y) +
                                    " in width " + std::to_string(c.frameWidth);
        EXPECT_NEAR(v.x, c.viewX, tolerance) << context;
        EXPECT_NEAR(v.y, c.viewY, tolerance) << context;
        expect_colour({v.r, v.g, v.b, v.a}, {0, 0, 1, 0.5f}, context);
    }
}

} // namespace
