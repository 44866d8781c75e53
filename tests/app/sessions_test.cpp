// Each session of sessions/, its file read as config and clip polygon too, replayed on the input
// rules: each checkpoint must equal its golden scene file (CLIPDRAW_RECORD=1 rewrites those).
#include "app/state.h"
#include "files/config.h"
#include "files/scenefile.h"
#include "render/frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using Session = testing::TestWithParam<std::filesystem::path>;

TEST_P(Session, ReplaysToItsCheckpoints) {
    AppState state;
    Config config;
    read_config_file(GetParam().c_str(), &config);
    state.palette = config.palette;
    read_image_file(GetParam().c_str(), &state.clipImage);
    init_scene_state(&state);
    int32_t width = config.windowWidth, height = config.windowHeight, x = 0, y = 0;
    std::ifstream lines(GetParam());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string word, arg;
        in >> word;
        if (word == "click" && in >> x >> y) {
            state_left_click(&state, x, y, height);
        } else if (word == "rightclick") {
            state_right_click(&state);
        } else if (word == "key") {
            while (in >> arg) {
                state_key(&state, arg == "space" ? ' ' : static_cast<unsigned char>(arg[0]));
            }
        } else if (word == "frame" || (word == "resize" && in >> width >> height)) {
            state.frameRaster =
                frame_draw(state.frameRaster, width, height, state.shapes, &state.clipImage);
        } else if (word == "check" && in >> arg) {
            // What the checkpoint needs beside the committed shapes, as remarks of a scene file.
            const auto [r, g, b, a] = state.currentColour;
            const auto pending =
                state.pendingShape ? std::to_string(state.pendingShape->nmembers) : "none";
            char text[160];
            std::snprintf(text, sizeof text,
                          "current colour %.9g %.9g %.9g %.9g\npending vertices %s\n", r, g, b, a,
                          pending.c_str());
            const std::string actual = text + scenefile_text(state.shapes);
            const auto golden = std::filesystem::path(GetParam()).replace_extension(arg + ".scene");
            if (const char* record = std::getenv("CLIPDRAW_RECORD"); record && record[0] == '1') {
                std::ofstream(golden) << actual;
            }
            std::ifstream expected(golden);
            EXPECT_EQ(actual, std::string(std::istreambuf_iterator<char>(expected), {})) << golden;
        } else if (line != "files none" && line != "window" && word[0] >= 'a' && word[0] <= 'z') {
            ADD_FAILURE() << GetParam() << ": unknown event \"" << line << "\"";
        }
    }
    state_release(&state);
}

std::vector<std::filesystem::path> sessions() {
    std::vector<std::filesystem::path> paths;
    std::ranges::copy_if(std::filesystem::directory_iterator(CLIPDRAW_SESSIONS),
                         std::back_inserter(paths),
                         [](const auto& entry) { return entry.path().extension() == ".session"; });
    return paths;
}

INSTANTIATE_TEST_SUITE_P(Sessions, Session, testing::ValuesIn(sessions()),
                         [](const auto& info) { return info.param.stem().string(); });

} // namespace
