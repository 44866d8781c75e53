// Each session of sessions/, its file read as config and clip polygon too, replayed on the input
// rules: each checkpoint must equal its golden scene file (CLIPDRAW_RECORD=1 rewrites those).
#include "app/scene.h"
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
    shapes = listobject_free(shapes); // nothing of an earlier session stays
    pendingShape = listvertex_free(pendingShape);
    frameRaster = raster_free(frameRaster);
    clipImage = LineImage{};
    read_config_file(GetParam().c_str(), &config);
    read_image_file(GetParam().c_str(), &clipImage);
    init_scene_state();
    int32_t width = config.windowWidth, height = config.windowHeight, x = 0, y = 0;
    std::ifstream lines(GetParam());
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string word, arg;
        in >> word;
        if (word == "click" && in >> x >> y) {
            scene_left_click(x, y, height);
        } else if (word == "rightclick") {
            scene_right_click();
        } else if (word == "key") {
            while (in >> arg) {
                scene_key(arg == "space" ? ' ' : static_cast<unsigned char>(arg[0]));
            }
        } else if (word == "frame" || (word == "resize" && in >> width >> height)) {
            frameRaster = frame_render(frameRaster, width, height, shapes, &clipImage);
        } else if (word == "check" && in >> arg) {
            // What the checkpoint needs beside the committed shapes, as remarks of a scene file.
            const auto [r, g, b, a] = currentColour;
            const auto pending = pendingShape ? std::to_string(pendingShape->nmembers) : "none";
            char text[160];
            std::snprintf(text, sizeof text,
                          "current colour %.9g %.9g %.9g %.9g\npending vertices %s\n", r, g, b, a,
                          pending.c_str());
            const std::string actual = text + scenefile_text(shapes);
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
