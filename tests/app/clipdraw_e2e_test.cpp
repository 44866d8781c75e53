// End-to-end tests: the real program in a real window on a private X server, driven with real
// clicks and keys; the window is read back and compared with the core's own rendering of the
// same scene.
#include "files/lineimage.h"
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/colour.h"
#include "render/drawcontext.h"
#include "render/frame.h"
#include "render/raster.h"
#include "x11session.h"
#include "xwd.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

namespace {

constexpr const char* windowTitle = "Oskel, Trevik, by Quorlin - Click!!!";
constexpr auto patience = std::chrono::seconds(10);
// Mesa rounds each float channel to 8 bits.
constexpr int channelTolerance = 1;

constexpr Colour black{0, 0, 0, 0};
constexpr Colour red{1, 0, 0, 1};
constexpr Colour green{0, 1, 0, 1};
constexpr Colour blue{0, 0, 1, 1};
constexpr Colour white{1, 1, 1, 1};

// 257 x 257: width - 1 and height - 1 are powers of two, so a click at a window pixel lands on a
// whole raster unit and the mapping to view units and back is exact.
constexpr int32_t side = 257;
constexpr const char* paletteConfig = "WindowWidth: 257\n"
                                      "WindowHeight: 257\n"
                                      "ColourCount: 3\n"
                                      "RGBA(1, 0, 0, 1)\n"
                                      "RGBA(0, 1, 0, 1)\n"
                                      "RGBA(0, 0, 1, 1)\n";
// The square from -0.5 to 0.5, anticlockwise: raster columns and rows 64 to 192.
constexpr const char* squareClip = "LineCount: 4\n"
                                   "VertexCount: 4\n"
                                   "Vertex 0: (-0.5, -0.5), RGB(1, 0, 0)\n"
                                   "Vertex 1: (0.5, -0.5), RGB(1, 0, 0)\n"
                                   "Vertex 2: (0.5, 0.5), RGB(0, 0, 1)\n"
                                   "Vertex 3: (-0.5, 0.5), RGB(0, 0, 1)\n"
                                   "Line 0: 0, 1\n"
                                   "Line 1: 1, 2\n"
                                   "Line 2: 2, 3\n"
                                   "Line 3: 3, 0\n";

// A left click at a window position (y down from the top) in the colour current at the time.
struct Click {
    int32_t x;
    int32_t y;
    Colour colour;
};
using Shape = std::vector<Click>;

// Crosses the square's left and top edges, anticlockwise in this order.
const Shape bigTriangle{{40, 200, red}, {220, 180, green}, {120, 20, blue}};
const Shape bigTriangleClockwise{bigTriangle[0], bigTriangle[2], bigTriangle[1]};
// Inside the square, anticlockwise.
const Shape smallTriangle{{100, 150, red}, {170, 160, red}, {140, 90, red}};

using RasterPtr = std::unique_ptr<Raster, decltype(&raster_free)>;
using ShapesPtr = std::unique_ptr<ListObject, decltype(&listobject_free)>;

// The vertex a click makes, computed as the program does: the window height less the click's
// y, then mapped to view units through a frame of the window's size.
Vertex clicked_vertex(const Click& click, int32_t width, int32_t height) {
    Vertex v{static_cast<float>(click.x),
             static_cast<float>(height - click.y),
             click.colour.r,
             click.colour.g,
             click.colour.b,
             click.colour.a};
    RasterPtr raster(raster_new(width, height), &raster_free);
    DrawContext ctx;
    draw_context_init(&ctx, raster.get(), nullptr);
    map_from_raster(&v, &ctx);
    return v;
}

// Shapes clicked in a window of width x height.
ShapesPtr shapes_of(const std::vector<Shape>& clicked, int32_t width, int32_t height) {
    ShapesPtr shapes(listobject_new(nullptr), &listobject_free);
    for (const Shape& shape : clicked) {
        ListVertex* vertices = listvertex_new(nullptr);
        for (const Click& click : shape) {
            const Vertex v = clicked_vertex(click, width, height);
            listvertex_append(vertices, listvertex_node_new(&v));
        }
        listobject_append(shapes.get(), listobject_node_new(vertices));
    }
    return shapes;
}

RasterPtr expected_frame(int32_t width, int32_t height, const ListObject* shapes,
                         const LineImage& image) {
    return RasterPtr(frame_render(nullptr, width, height, shapes, &image), &raster_free);
}

uint8_t to_byte(float value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

bool looks_like(const uint8_t* pixel, Colour colour) {
    const uint8_t want[] = {to_byte(colour.r), to_byte(colour.g), to_byte(colour.b)};
    for (int i = 0; i < 3; ++i) {
        if (std::abs(pixel[i] - want[i]) > channelTolerance) {
            return false;
        }
    }
    return true;
}

// The window's pixel at a raster position (row 0 at the bottom).
const uint8_t* at_raster(const WindowImage& shown, int32_t column, int32_t row) {
    return shown.at(column, shown.height - 1 - row);
}

std::string describe(const uint8_t* pixel) {
    std::ostringstream text;
    text << "(" << int{pixel[0]} << ", " << int{pixel[1]} << ", " << int{pixel[2]} << ")";
    return text.str();
}

// Empty when the window shows frame with the texts over it in the text colour; otherwise what
// differs. The texts lie in a band along the bottom from 0.1 of the width on; there a pixel may
// show the frame or the text colour, and enough must show the text colour.
std::string frame_mismatch(const WindowImage& shown, const Raster& frame, Colour text) {
    if (shown.width != frame.width || shown.height != frame.height) {
        return "window is " + std::to_string(shown.width) + " x " + std::to_string(shown.height) +
               ", frame is " + std::to_string(frame.width) + " x " + std::to_string(frame.height);
    }
    const int32_t bandTop = static_cast<int32_t>(0.15f * static_cast<float>(frame.height)) + 14;
    const int32_t bandLeft = static_cast<int32_t>(0.1f * static_cast<float>(frame.width)) - 2;
    constexpr int minTextPixels = 200;
    int wrong = 0;
    int textPixels = 0;
    std::string report;
    for (int32_t row = 0; row < frame.height; ++row) {
        for (int32_t column = 0; column < frame.width; ++column) {
            const uint8_t* pixel = at_raster(shown, column, row);
            const Colour& want = frame.pixels[column + row * frame.width];
            if (row < bandTop && column >= bandLeft && !looks_like(pixel, want) &&
                looks_like(pixel, text)) {
                ++textPixels;
            } else if (!looks_like(pixel, want) && ++wrong <= 5) {
                report += " (" + std::to_string(column) + ", " + std::to_string(row) + ") shows " +
                          describe(pixel) + ", frame has (" + std::to_string(want.r) + ", " +
                          std::to_string(want.g) + ", " + std::to_string(want.b) + ");";
            }
        }
    }
    if (wrong > 0) {
        return std::to_string(wrong) + " pixels differ from the frame:" + report;
    }
    if (textPixels < minTextPixels) {
        return "only " + std::to_string(textPixels) + " pixels show the text colour";
    }
    return "";
}

// One private X server for the whole test binary.
std::unique_ptr<VirtualDisplay> xserver;
std::string xserverError;

class XServerEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        try {
            xserver = std::make_unique<VirtualDisplay>();
        } catch (const std::exception& e) {
            xserverError = e.what();
        }
    }
    void TearDown() override { xserver.reset(); }
};

[[maybe_unused]] const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new XServerEnvironment);

class ClipdrawWindow : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(xserver, nullptr) << xserverError;
        char pattern[] = "/tmp/clipdraw-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }

    void TearDown() override {
        program_.reset();
        std::filesystem::remove_all(dir_);
    }

    void write_file(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name) << text;
    }

    std::string console() const {
        std::ifstream file(dir_ / "console.txt");
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::string errors() const {
        std::ifstream file(dir_ / "errors.txt");
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    std::string xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        int status = 0;
        std::string out = run_command(args, xserver->name(), &status);
        EXPECT_EQ(status, 0) << "xdotool " << args[1] << " failed";
        return out;
    }

    // Starts clipdraw in the test's directory and waits for its window, which is then moved to
    // the screen's corner (there is no window manager to place it) and given the keyboard.
    void start() {
        program_ = std::make_unique<ChildProcess>(std::vector<std::string>{CLIPDRAW_EXECUTABLE},
                                                  Launch{xserver->name(), dir_.string(),
                                                         (dir_ / "console.txt").string(),
                                                         (dir_ / "errors.txt").string()});
        const auto deadline = std::chrono::steady_clock::now() + patience;
        int status = 1;
        while (window_.empty() && std::chrono::steady_clock::now() < deadline) {
            std::istringstream found(run_command({"xdotool", "search", "--name", "^Oskel, Trevik"},
                                                 xserver->name(), &status));
            found >> window_;
            if (window_.empty()) {
                ASSERT_TRUE(program_->running()) << "clipdraw ended early (" << program_->ending()
                                                 << "): " << console() << errors();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        ASSERT_FALSE(window_.empty()) << "no clipdraw window within the time limit";
        EXPECT_EQ(xdotool({"getwindowname", window_}), std::string(windowTitle) + "\n");
        xdotool({"windowmove", window_, "0", "0"});
        xdotool({"windowfocus", "--sync", window_});
    }

    void click(const Click& at, int button = 1) {
        xdotool({"mousemove", "--window", window_, std::to_string(at.x), std::to_string(at.y),
                 "click", std::to_string(button)});
    }

    // Selects each vertex's colour with the digit key of the palette above, then clicks it.
    void click_shape(const Shape& shape) {
        for (const Click& vertex : shape) {
            const Colour c = vertex.colour;
            const char* key = c.r == 1 ? "0" : c.g == 1 ? "1" : "2";
            keys({key});
            click(vertex);
        }
    }

    void keys(std::vector<std::string> names) {
        names.insert(names.begin(), "key");
        xdotool(names);
    }

    // What the window shows, or nothing with the reason in *error.
    std::optional<WindowImage> capture(std::string* error) {
        int status = 0;
        const std::string dump =
            run_command({"xwd", "-silent", "-id", window_}, xserver->name(), &status);
        return xwd_parse(dump, error);
    }

    // Polls the window until it shows frame with the texts in the text colour; on time-out,
    // fails with what differed last. Returns the last image captured. Once the test has failed
    // it looks only once, so that a broken program does not wait out every step.
    WindowImage wait_for(const Raster& frame, Colour text) {
        const auto deadline =
            std::chrono::steady_clock::now() + (HasFailure() ? std::chrono::seconds(0) : patience);
        std::string mismatch;
        WindowImage shown;
        do {
            std::string error;
            if (auto image = capture(&error)) {
                shown = std::move(*image);
                mismatch = frame_mismatch(shown, frame, text);
                if (mismatch.empty()) {
                    return shown;
                }
            } else {
                mismatch = "xwd gave no image: " + error;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        } while (std::chrono::steady_clock::now() < deadline);
        ADD_FAILURE() << "the window never showed the expected frame: " << mismatch;
        return shown;
    }

    LineImage image_file() {
        LineImage image;
        read_image_file((dir_ / "clippoly.txt").c_str(), &image);
        return image;
    }

    // Starts the program on the palette and the square, and waits for the first frame, before
    // which a click would be ignored.
    void start_with_square() {
        write_file("config.txt", paletteConfig);
        write_file("clippoly.txt", squareClip);
        ASSERT_NO_FATAL_FAILURE(start());
        square_ = image_file();
        wait_for(*expected_frame(side, side, nullptr, square_), black);
    }

    std::filesystem::path dir_;
    std::unique_ptr<ChildProcess> program_;
    std::string window_;
    LineImage square_;
};

TEST_F(ClipdrawWindow, WithoutDataFilesOpensDefaultWhiteWindowWithBlackTexts) {
    ASSERT_NO_FATAL_FAILURE(start());
    wait_for(*expected_frame(500, 550, nullptr, LineImage{}), black);
    EXPECT_EQ(console(), "ERROR: Config file not read.\nERROR: Image file not read.\n");

    // Without a palette a digit selects nothing; only the lightening shows.
    keys({"1", "period"});
    wait_for(*expected_frame(500, 550, nullptr, LineImage{}), Colour{0.05f, 0.05f, 0.05f, 0});
}

TEST_F(ClipdrawWindow, AnticlockwiseTriangleIsFilledInterpolatedAndClipped) {
    ASSERT_NO_FATAL_FAILURE(start_with_square());
    click_shape(bigTriangle);
    keys({"space"});
    const ShapesPtr shapes = shapes_of({bigTriangle}, side, side);
    const WindowImage shown = wait_for(*expected_frame(side, side, shapes.get(), square_), blue);

    const uint8_t* whiteByte = at_raster(shown, 0, side - 1);
    EXPECT_EQ(describe(whiteByte), "(255, 255, 255)");
    // Inside both the triangle and the square: filled, with colours that vary.
    EXPECT_NE(describe(at_raster(shown, 100, 100)), describe(whiteByte));
    EXPECT_NE(describe(at_raster(shown, 170, 100)), describe(whiteByte));
    EXPECT_NE(describe(at_raster(shown, 100, 100)), describe(at_raster(shown, 170, 100)));
    // Inside the triangle but outside the square: clipped away.
    EXPECT_EQ(describe(at_raster(shown, 55, 70)), describe(whiteByte));
    EXPECT_EQ(describe(at_raster(shown, 115, 220)), describe(whiteByte));
}

TEST_F(ClipdrawWindow, ClockwiseTriangleIsCommittedButNotFilled) {
    ASSERT_NO_FATAL_FAILURE(start_with_square());
    click_shape(bigTriangleClockwise);
    keys({"space"});
    const ShapesPtr shapes = shapes_of({bigTriangleClockwise}, side, side);
    const RasterPtr frame = expected_frame(side, side, shapes.get(), square_);
    const RasterPtr outlineOnly = expected_frame(side, side, nullptr, square_);
    int filled = 0;
    for (int32_t i = 0; i < side * side; ++i) {
        const Colour& a = frame->pixels[i];
        const Colour& b = outlineOnly->pixels[i];
        filled += a.r != b.r || a.g != b.g || a.b != b.b;
    }
    ASSERT_EQ(filled, 0) << "this clockwise triangle should leave no stray pixels";
    wait_for(*frame, bigTriangleClockwise.back().colour);
}

TEST_F(ClipdrawWindow, NClearsTheShapesButKeepsThePendingVertices) {
    ASSERT_NO_FATAL_FAILURE(start_with_square());
    click_shape(bigTriangle);
    keys({"space"});
    const ShapesPtr first = shapes_of({bigTriangle}, side, side);
    wait_for(*expected_frame(side, side, first.get(), square_), blue);

    // Upper-case N only redraws: the shape is still there once the later key has acted.
    keys({"N", "1"});
    wait_for(*expected_frame(side, side, first.get(), square_), green);

    click_shape(smallTriangle);
    keys({"n"});
    wait_for(*expected_frame(side, side, nullptr, square_), red);
    keys({"space"});
    const ShapesPtr second = shapes_of({smallTriangle}, side, side);
    wait_for(*expected_frame(side, side, second.get(), square_), red);
}

TEST_F(ClipdrawWindow, RightClickDropsThePendingVertices) {
    ASSERT_NO_FATAL_FAILURE(start_with_square());
    click_shape({{80, 100, green}, {180, 110, green}});
    click({10, 10, black}, 3);
    click_shape(smallTriangle);
    keys({"space"});
    const ShapesPtr shapes = shapes_of({smallTriangle}, side, side);
    wait_for(*expected_frame(side, side, shapes.get(), square_), red);
}

TEST_F(ClipdrawWindow, ColourKeysChangeTheTextColour) {
    ASSERT_NO_FATAL_FAILURE(start_with_square());
    const RasterPtr frame = expected_frame(side, side, nullptr, square_);
    keys({"1"});
    wait_for(*frame, green);
    // 9 lies beyond the palette and < and > only redraw: just the lightening acts.
    keys({"9", "less", "less", "greater", "period"});
    wait_for(*frame, Colour{0.05f, 1.05f, 0.05f, 1});
    keys({"0", "comma", "comma"});
    wait_for(*frame, Colour{0.9f, -0.1f, -0.1f, 1});
}

TEST_F(ClipdrawWindow, ResizedWindowIsRedrawnWithShapesInProportion) {
    ASSERT_NO_FATAL_FAILURE(start_with_square());
    click_shape(bigTriangle);
    keys({"space"});
    const ShapesPtr shapes = shapes_of({bigTriangle}, side, side);
    const WindowImage before = wait_for(*expected_frame(side, side, shapes.get(), square_), blue);

    // 385 = 1.5 x 256 + 1: the view widens to x from -1.5 to 1.5 and the scene moves right by
    // 64 columns, unscaled.
    xdotool({"windowsize", window_, "385", std::to_string(side)});
    const WindowImage after = wait_for(*expected_frame(385, side, shapes.get(), square_), blue);
    for (const int32_t column : {100, 170}) {
        const uint8_t* was = at_raster(before, column, 100);
        const uint8_t* is = at_raster(after, column + 64, 100);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(is[i], was[i], 2) << "column " << column;
        }
    }
}

TEST_F(ClipdrawWindow, BadDataFilesLeaveAWorkingWindow) {
    write_file("config.txt", "WindowWidth: 0\n"
                             "WindowWidth: 257\n"
                             "WindowHeight: 99999\n"
                             "WindowHeight:257\n"
                             " ColourCount: 9\n"
                             "ColourCount: 5\n"
                             "RGBA(nan, 0, 0, 1)\n"
                             "RGBA(1, 0, 0, 1)\n"
                             "rgba(0, 0, 0, 1)\n" +
                                 std::string(300, 'x') +
                                 "\n"
                                 "RGBA(0, 1, 0, 1)\n"
                                 "RGBA(0, 0, 1, 1)");
    write_file("clippoly.txt", "A remark, then counts that promise more than the file gives\n"
                               "LineCount: 9\n"
                               "VertexCount: 6\n"
                               "Vertex 0: (-0.5, -0.5), RGB(1, 0, 0)\n"
                               "Vertex 1: (inf, -0.5), RGB(1, 0, 0)\n"
                               "Vertex 1: (0.5, -0.5), RGB(1, 0, 0)\n"
                               "Vertex 2: (0.5, 0.5), RGB(0, 0, 1)\n"
                               "Vertex 3: (-0.5, 0.5), RGB(0, 0, 1)\n"
                               "Line 0: 0, 1\n"
                               "Line 1: 1, 7\n"
                               "Line 2: 1, 2\n"
                               "Line 3: 2, 3\n"
                               "Line 4: 3, 0");
    ASSERT_NO_FATAL_FAILURE(start());
    const LineImage image = image_file();
    EXPECT_EQ(image.lineCount, 4);
    wait_for(*expected_frame(side, side, nullptr, image), black);

    const std::string out = console();
    int errors = 0;
    for (size_t at = out.find("ERROR:"); at != std::string::npos; at = out.find("ERROR:", at + 1)) {
        ++errors;
    }
    EXPECT_EQ(errors, 5) << out; // width, height, colour, vertex, line
    EXPECT_NE(out.find("Config file read.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Image file (clippoly.txt) read."), std::string::npos) << out;

    // The palette holds the three good colours, in file order, despite the count of 5.
    click_shape(bigTriangle);
    keys({"space"});
    const ShapesPtr shapes = shapes_of({bigTriangle}, side, side);
    wait_for(*expected_frame(side, side, shapes.get(), image), blue);
}

} // namespace
