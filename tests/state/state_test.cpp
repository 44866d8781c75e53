// What the window and the page share: the title and the texts exactly as screen.expected holds
// them, and a state that releases all it held.
#include "live_blocks.h"
#include "state/screen.h"
#include "state/state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Screen, ShowsTheTitleAndTextsWhereTheyBelong) {
    std::string shown = std::string("title \"") + windowTitle + "\"\n";
    for (const ScreenText& line : screenTexts) {
        char at[64];
        std::snprintf(at, sizeof at, "text at %.9g %.9g \"", line.x, line.y);
        shown += at + std::string(line.text) + "\"\n";
    }
    EXPECT_EQ(shown, slurp(fs::path(CLIPDRAW_STATE_CASES) / "screen.expected"));
}

// Start-up in a folder of its own, shapes committed and one being entered, a frame: releasing
// the state leaves the heap as it was before start-up.
TEST(State, ReleasesAllItHeld) {
    const fs::path was = fs::current_path();
    const fs::path folder = fs::path(CLIPDRAW_WORK) / "state_release";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(fs::path(CLIPDRAW_EXAMPLES) / "config.txt", folder / "config.txt");
    fs::copy_file(fs::path(CLIPDRAW_EXAMPLES) / "clippoly.txt", folder / "clippoly.txt");
    fs::current_path(folder);
    testing::internal::CaptureStdout();
    const long before = liveBlocks;
    {
        AppState state;
        const Config config = state_start(&state);
        state.frameRaster = raster_new(config.windowWidth, config.windowHeight);
        for (const int32_t x : {10, 200, 100, 300, 250}) {
            state_left_click(&state, x, x / 2, config.windowHeight);
            if (x == 100) {
                state_key(&state, ' ');
            }
        }
        state_key(&state, ' ');
        state_left_click(&state, 5, 5, config.windowHeight);
        ASSERT_EQ(state.shapes->nmembers, 2);
        ASSERT_NE(state.pendingShape, nullptr);
        state_release(&state);
        EXPECT_EQ(state.shapes, nullptr);
        EXPECT_EQ(state.frameRaster, nullptr);
    }
    const long after = liveBlocks;
    testing::internal::GetCapturedStdout();
    fs::current_path(was);
    EXPECT_EQ(after, before);
}

} // namespace
