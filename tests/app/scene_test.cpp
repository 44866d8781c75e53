// What each key and click does to the scene, without a window.
#include "app/scene.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Float rounding of the colour steps and the view mapping.
constexpr float kTolerance = 1e-6f;
constexpr int32_t kSide = 257;

void expect_colour(const Colour& actual, const Colour& expected) {
    EXPECT_NEAR(actual.r, expected.r, kTolerance);
    EXPECT_NEAR(actual.g, expected.g, kTolerance);
    EXPECT_NEAR(actual.b, expected.b, kTolerance);
    EXPECT_NEAR(actual.a, expected.a, kTolerance);
}

void press(const std::string& keys) {
    for (const char key : keys) {
        scene_key(static_cast<unsigned char>(key));
    }
}

// A fresh start with a palette of three colours and a first frame of width x 257; a width below
// 0 leaves no frame.
class Scene : public testing::Test {
  protected:
    void SetUp() override { reset(kSide); }
    void TearDown() override { reset(-1); }

    static void reset(int32_t width) {
        shapes = listobject_free(shapes);
        pendingShape = listvertex_free(pendingShape);
        frameRaster = raster_free(frameRaster);
        config = Config{500, 550, 3, {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 0.5f}}};
        init_scene_state();
        frameRaster = width < 0 ? nullptr : raster_new(width, kSide);
    }
};

TEST_F(Scene, KeysPickAndShiftTheCurrentColour) {
    const struct {
        std::string keys;
        Colour expected;
    } cases[] = {
        {"0", {1, 0, 0, 1}},
        {"2", {0, 0, 1, 0.5f}}, // alpha comes with the palette entry
        {"23456789", {0, 0, 1, 0.5f}},
        {"1<>N?x", {0, 1, 0, 1}}, // only the listed keys act
        {",", {-0.05f, -0.05f, -0.05f, 0}},
        {"1" + std::string(20, ','), {-1, 0, -1, 1}}, // twenty steps take 1 to 0, unclamped
        {"1" + std::string(21, ','), {-1.05f, -0.05f, -1.05f, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("keys \"" + c.keys + "\"");
        reset(kSide);
        press(c.keys);
        expect_colour(currentColour, c.expected);
    }
}

TEST_F(Scene, SpaceCommitsThePendingShapeEvenWhenEmpty) {
    press(" ");
    EXPECT_EQ(shapes->nmembers, 0) << "nothing to commit before the first click";
    for (int i = 0; i < 3; ++i) {
        scene_left_click(10 * i, 20, kSide);
    }
    press(" ");
    ASSERT_EQ(shapes->nmembers, 1);
    EXPECT_EQ(shapes->head->shape->nmembers, 3);
    ASSERT_NE(pendingShape, nullptr);
    EXPECT_EQ(pendingShape->nmembers, 0);
    press(" ");
    ASSERT_EQ(shapes->nmembers, 2);
    EXPECT_EQ(shapes->head->next->shape->nmembers, 0);
}

// Before the first frame, and on a frame with no view mapping (a side below 2 pixels, or a
// window too large to allocate, which leaves a 0 x 0 raster), a click has nothing to map through.
TEST_F(Scene, ClickWithoutAMappableFrameIsIgnored) {
    for (const int32_t width : {-1, 0, 1}) {
        reset(width);
        scene_left_click(0, 100, kSide);
        EXPECT_EQ(pendingShape, nullptr) << "frame width " << width;
    }
}

// Window pixel (x, y) of a 257-high window becomes raster position (x, 257 - y): the bottom
// pixel row lands on raster row 1, the top row one above the raster.
TEST_F(Scene, ClickBecomesAVertexInViewUnitsOfTheLastFrame) {
    const struct {
        int32_t frameWidth, x, y;
        float viewX, viewY;
    } cases[] = {
        {kSide, 128, 128, 0, 1.0f / 128},
        {kSide, 0, 256, -1, -1 + 1.0f / 128},
        {kSide, 256, 0, 1, 1 + 1.0f / 128},
        {385, 192, 128, 0, 1.0f / 128}, // a wider frame spans x from -1.5 to 1.5
        {385, 0, 256, -1.5f, -1 + 1.0f / 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "click at " << c.x << ", " << c.y << " in width " << c.frameWidth);
        reset(c.frameWidth);
        press("2");
        scene_left_click(c.x, c.y, kSide);
        ASSERT_NE(pendingShape, nullptr);
        const Vertex& v = pendingShape->head->vertex;
        EXPECT_NEAR(v.x, c.viewX, kTolerance);
        EXPECT_NEAR(v.y, c.viewY, kTolerance);
        expect_colour({v.r, v.g, v.b, v.a}, {0, 0, 1, 0.5f});
    }
}

} // namespace
