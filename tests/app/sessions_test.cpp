// Each session of sessions/ replayed on the input rules, started as the program starts: the
// session copied to config.txt and clippoly.txt in a folder of its own (unless it says "files
// none") and read there by state_start. Start-up must print SESSION.console, where the session
// has one, and each checkpoint must equal its golden scene file.
// CLIPDRAW_RECORD=1 rewrites the scene files and reports the session as recorded, skipped.
#include "files/scenefile.h"
#include "record.h"
#include "render/frame.h"
#include "state/state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What a checkpoint needs beside the committed shapes, as remarks of a scene file.
std::string checkpoint(const AppState& state) {
    const Colour& c = state.currentColour;
    const std::string pending =
        state.pendingShape != nullptr ? std::to_string(state.pendingShape->nmembers) : "none";
    char text[160];
    std::snprintf(text, sizeof text, "current colour %.9g %.9g %.9g %.9g\npending vertices %s\n",
                  c.r, c.g, c.b, c.a, pending.c_str());
    return text + scenefile_text(state.shapes);
}

// The folder the program starts in, and the one the test came from, given back at the end.
class StartFolder {
  public:
    StartFolder(const fs::path& session, bool withFiles)
        : was_(fs::current_path()),
          folder_(fs::path(CLIPDRAW_WORK) / ("session_" + session.stem().string())) {
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        if (withFiles) {
            fs::copy_file(session, folder_ / "config.txt");
            fs::copy_file(session, folder_ / "clippoly.txt");
        }
        fs::current_path(folder_);
    }
    ~StartFolder() { fs::current_path(was_); }
    StartFolder(const StartFolder&) = delete;
    StartFolder& operator=(const StartFolder&) = delete;

  private:
    fs::path was_;
    fs::path folder_;
};

using Session = testing::TestWithParam<fs::path>;

TEST_P(Session, ReplaysToItsCheckpoints) {
    const fs::path session = GetParam();
    const std::string events = slurp(session);
    bool withFiles = true;
    std::istringstream scan(events);
    for (std::string line; std::getline(scan, line);) {
        withFiles = withFiles && line != "files none";
    }
    AppState state;
    Config config;
    {
        const StartFolder start(session, withFiles);
        testing::internal::CaptureStdout();
        config = state_start(&state);
        const std::string console = testing::internal::GetCapturedStdout();
        const fs::path golden = fs::path(session).replace_extension(".console");
        if (fs::exists(golden)) {
            // The program prints nothing after start-up but for a frame it has no memory for.
            EXPECT_EQ(console, slurp(golden)) << "start-up's console against " << golden;
        }
    }
    int32_t width = config.windowWidth;
    int32_t height = config.windowHeight;
    bool recorded = false;
    std::istringstream lines(events);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::string word;
        std::string arg;
        int32_t x = 0;
        int32_t y = 0;
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
            const std::string actual = checkpoint(state);
            const fs::path golden = fs::path(session).replace_extension(arg + ".scene");
            if (record_mode()) {
                std::ofstream(golden) << actual;
                recorded = true;
            } else {
                EXPECT_EQ(actual, slurp(golden)) << golden;
            }
        } else if (line != "files none" && line != "window" && word[0] >= 'a' && word[0] <= 'z') {
            ADD_FAILURE() << session << ": unknown event \"" << line << "\"";
        }
    }
    state_release(&state);
    if (recorded) {
        GTEST_SKIP() << "recorded the checkpoints of " << session;
    }
}

std::vector<fs::path> sessions() {
    std::vector<fs::path> paths;
    for (const fs::directory_entry& entry : fs::directory_iterator(CLIPDRAW_SESSIONS)) {
        if (entry.path().extension() == ".session") {
            paths.push_back(entry.path());
        }
    }
    std::ranges::sort(paths);
    return paths;
}

INSTANTIATE_TEST_SUITE_P(Sessions, Session, testing::ValuesIn(sessions()),
                         [](const auto& info) { return info.param.stem().string(); });

} // namespace
