// End-to-end tests: the real program in a real window on a private Xvfb, driven with xdotool and
// read back with xwd, compared with the core's own rendering of the same scene. Every process
// started here is stopped by its own id, whether the test passed or not, and dies with the test
// process if that crashes.
#include "files/lineimage.h"
#include "lists/listobject.h"
#include "render/drawcontext.h"
#include "render/frame.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Starts argv with its standard streams on /dev/null; it dies with the test process.
pid_t spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int null = open("/dev/null", O_RDWR);
        if (getppid() == parent && dup2(null, 0) == 0 && dup2(null, 1) == 1 && dup2(null, 2) == 2) {
            execvp(args[0], args.data());
        }
        _exit(127);
    }
    return pid;
}

// SIGTERM, then SIGKILL after three seconds. A process once reaped is no longer our child, so
// its id is never signalled again.
void stop(pid_t pid) {
    const auto running = [pid] { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; };
    if (running()) {
        kill(pid, SIGTERM);
        for (const auto deadline = Clock::now() + 3s; running() && Clock::now() < deadline;) {
            std::this_thread::sleep_for(20ms);
        }
    }
    if (running()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

// One Xvfb for the test binary, on a display number of its own choosing, which it writes to a
// pipe once it accepts connections (or closes the pipe when it fails). Children started later
// inherit its DISPLAY.
pid_t xserver = 0;

class XServer : public testing::Environment {
    void SetUp() override {
        int fds[2];
        if (pipe(fds) != 0) {
            return;
        }
        fcntl(fds[0], F_SETFD, FD_CLOEXEC);
        xserver = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                         "1024x768x24", "-noreset", "-nolisten", "tcp"});
        close(fds[1]);
        std::string display = ":";
        for (char c = 0; read(fds[0], &c, 1) == 1 && c != '\n';) {
            display += c;
        }
        close(fds[0]);
        setenv("DISPLAY", display.c_str(), 1);
        if (display == ":") {
            TearDown();
        }
    }
    void TearDown() override {
        stop(xserver);
        xserver = 0;
    }
};

[[maybe_unused]] const testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new XServer);

// Runs a command for ten seconds at most and returns its standard output.
std::string run(const std::string& command) {
    FILE* pipe = popen(("timeout 10 " + command + " 2>/dev/null").c_str(), "r");
    std::string out;
    char buffer[65536];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, got);
    }
    pclose(pipe);
    return out;
}

using Rgb = std::array<int, 3>;

// A window as xwd dumps it from Xvfb's 24-bit screen: a header of 25 big-endian words, the
// colour entries, then rows of 32-bit pixels, blue in the lowest byte. 0 x 0 for any other dump.
struct WindowImage {
    explicit WindowImage(const std::string& window) : dump(run("xwd -silent -id " + window)) {
        if (dump.size() < 100 || word(1) != 7 || word(2) != 2 || word(7) != 0 || word(11) != 32 ||
            word(14) != 0xff0000 || word(15) != 0xff00 || word(16) != 0xff ||
            word(12) != 4 * word(4) ||
            dump.size() < word(0) + 12 * word(19) + static_cast<size_t>(word(12)) * word(5)) {
            return;
        }
        width = static_cast<int32_t>(word(4));
        height = static_cast<int32_t>(word(5));
        start = word(0) + 12 * word(19);
    }
    uint32_t word(size_t i) const {
        uint32_t w = 0;
        for (size_t b = 4 * i; b < 4 * i + 4; ++b) {
            w = w << 8 | static_cast<uint8_t>(dump[b]);
        }
        return w;
    }
    // The pixel at a raster position (row 0 at the bottom).
    Rgb at(int32_t column, int32_t row) const {
        const auto* p = reinterpret_cast<const uint8_t*>(
            &dump[start + 4 * (column + (height - 1 - row) * width)]);
        return {p[2], p[1], p[0]};
    }

    std::string dump;
    int32_t width = 0, height = 0;
    size_t start = 0;
};

constexpr Colour black{0, 0, 0, 0};
constexpr Colour red{1, 0, 0, 1};
constexpr Colour green{0, 1, 0, 1};
constexpr Colour blue{0, 0, 1, 1};

// 257 x 257: a click at a window pixel lands on a whole raster unit, and the mapping to view
// units and back is exact.
constexpr int32_t side = 257;
constexpr const char* paletteConfig = "WindowWidth: 257\nWindowHeight: 257\nColourCount: 3\n"
                                      "RGBA(1, 0, 0, 1)\nRGBA(0, 1, 0, 1)\nRGBA(0, 0, 1, 1)\n";
// The square from -0.5 to 0.5, anticlockwise: raster columns and rows 64 to 192.
constexpr const char* squareClip =
    "LineCount: 4\nVertexCount: 4\n"
    "Vertex 0: (-0.5, -0.5), RGB(1, 0, 0)\nVertex 1: (0.5, -0.5), RGB(1, 0, 0)\n"
    "Vertex 2: (0.5, 0.5), RGB(0, 0, 1)\nVertex 3: (-0.5, 0.5), RGB(0, 0, 1)\n"
    "Line 0: 0, 1\nLine 1: 1, 2\nLine 2: 2, 3\nLine 3: 3, 0\n";

// A left click at a window position (y down from the top) in a colour of that palette.
struct Click {
    int32_t x, y;
    Colour colour;
};
using Shape = std::vector<Click>;

// Crosses the square's left and top edges, anticlockwise in this order.
const Shape bigTriangle{{40, 200, red}, {220, 180, green}, {120, 20, blue}};
const Shape bigTriangleClockwise{bigTriangle[0], bigTriangle[2], bigTriangle[1]};
// Inside the square, anticlockwise.
const Shape smallTriangle{{100, 150, red}, {170, 160, red}, {140, 90, red}};

using RasterPtr = std::unique_ptr<Raster, decltype(&raster_free)>;

// The frame of width x height that the core renders for shapes clicked in the 257 x 257 window,
// their vertices made as the program makes them: the window height less the click's y, mapped to
// view units through a frame of the window's size.
RasterPtr expected_frame(int32_t width, int32_t height, const std::vector<Shape>& clicked,
                         const LineImage& image) {
    RasterPtr mapping(raster_new(side, side), &raster_free);
    DrawContext ctx;
    draw_context_init(&ctx, mapping.get(), nullptr);
    ListObject* shapes = listobject_new(nullptr);
    for (const Shape& shape : clicked) {
        ListVertex* vertices = listvertex_new(nullptr);
        for (const Click& c : shape) {
            const auto [r, g, b, a] = c.colour;
            Vertex v{static_cast<float>(c.x), static_cast<float>(side - c.y), r, g, b, a};
            map_from_raster(&v, &ctx);
            listvertex_append(vertices, listvertex_node_new(&v));
        }
        listobject_append(shapes, listobject_node_new(vertices));
    }
    RasterPtr frame(frame_render(nullptr, width, height, shapes, &image), &raster_free);
    listobject_free(shapes);
    return frame;
}

// Mesa rounds each float channel to 8 bits.
Rgb to_rgb(const Colour& c) {
    const auto byte = [](float v) {
        return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
    };
    return {byte(c.r), byte(c.g), byte(c.b)};
}

bool looks_like(Rgb pixel, const Colour& colour) {
    const Rgb want = to_rgb(colour);
    return std::abs(pixel[0] - want[0]) <= 1 && std::abs(pixel[1] - want[1]) <= 1 &&
           std::abs(pixel[2] - want[2]) <= 1;
}

class ClipdrawWindow : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(xserver, 0) << "no Xvfb could be started";
        char pattern[] = "/tmp/clipdraw-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        stop(program);
        std::filesystem::remove_all(dir);
    }

    void write_file(const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
    }
    std::string read_file(const std::string& name) const {
        std::ifstream file(dir / name);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    void xdotool(const std::string& args) {
        EXPECT_EQ(run("xdotool " + args + " && echo done"), "done\n") << "xdotool " << args;
    }

    // Starts clipdraw in the test's directory and waits for its window to be mapped (a window
    // that exists but is not yet viewable refuses the focus), then moves it to the screen's
    // corner (there is no window manager to place it) and gives it the keyboard.
    void start() {
        // The shell execs the program, which keeps its id.
        program = spawn(
            {"sh", "-c",
             "cd " + dir.string() + " && exec " CLIPDRAW_EXECUTABLE " >console.txt 2>errors.txt"});
        std::istringstream(run("xdotool search --sync --onlyvisible --name '^Oskel, Trevik'")) >>
            window;
        ASSERT_FALSE(window.empty())
            << "no clipdraw window within ten seconds: " << read_file("console.txt")
            << read_file("errors.txt");
        EXPECT_EQ(run("xdotool getwindowname " + window), "Oskel, Trevik, by Quorlin - Click!!!\n");
        xdotool("windowmove " + window + " 0 0 windowfocus --sync " + window);
    }

    // Starts the program on the data files given, and waits for the first frame, before which a
    // click would be ignored.
    void start_with(const std::string& config, const std::string& clip) {
        write_file("config.txt", config);
        write_file("clippoly.txt", clip);
        ASSERT_NO_FATAL_FAILURE(start());
        read_image_file((dir / "clippoly.txt").c_str(), &image);
        wait_for(*expected_frame(side, side, {}, image), black);
    }

    void click(int32_t x, int32_t y, int button = 1) {
        xdotool("mousemove --window " + window + " " + std::to_string(x) + " " + std::to_string(y) +
                " click " + std::to_string(button));
    }

    // Selects each vertex's colour with its digit key in the palette above and clicks it, then
    // commits the shape unless told not to.
    void click_shape(const Shape& shape, bool commit = true) {
        for (const Click& c : shape) {
            xdotool(c.colour.r == 1 ? "key 0" : c.colour.g == 1 ? "key 1" : "key 2");
            click(c.x, c.y);
        }
        if (commit) {
            xdotool("key space");
        }
    }

    // Polls the window until it shows frame with the texts over it in the text colour, and
    // returns what it showed last; on time-out, fails with what differed. The texts lie in a band
    // along the bottom from 0.1 of the width on; there a pixel may show the frame or the text
    // colour, and enough must show the text colour. Once the test has failed it looks only once,
    // so that a broken program does not wait out every step.
    WindowImage wait_for(const Raster& frame, Colour text) {
        const int32_t bandTop = static_cast<int32_t>(0.15f * static_cast<float>(frame.height)) + 14;
        const int32_t bandLeft = static_cast<int32_t>(0.1f * static_cast<float>(frame.width)) - 2;
        const auto deadline = Clock::now() + (HasFailure() ? 0s : 10s);
        for (;;) {
            const WindowImage shown(window);
            const bool sized = shown.width == frame.width && shown.height == frame.height;
            int wrong = 0, textPixels = 0;
            std::string first;
            for (int32_t i = 0; sized && i < frame.width * frame.height; ++i) {
                const int32_t column = i % frame.width, row = i / frame.width;
                const Rgb pixel = shown.at(column, row);
                if (looks_like(pixel, frame.pixels[i])) {
                    continue;
                }
                if (row < bandTop && column >= bandLeft && looks_like(pixel, text)) {
                    ++textPixels;
                } else if (++wrong == 1) {
                    first = testing::PrintToString(std::array{column, row}) + " shows " +
                            testing::PrintToString(pixel) + " for " +
                            testing::PrintToString(to_rgb(frame.pixels[i]));
                }
            }
            if (sized && wrong == 0 && textPixels >= 200) {
                return shown;
            }
            if (Clock::now() >= deadline) {
                ADD_FAILURE() << "the window never showed the expected frame: window is "
                              << shown.width << " x " << shown.height << ", " << wrong
                              << " pixels differ, first " << first << ", " << textPixels
                              << " pixels in the text colour";
                return shown;
            }
            std::this_thread::sleep_for(30ms);
        }
    }

    std::filesystem::path dir;
    pid_t program = 0;
    std::string window;
    LineImage image;
};

TEST_F(ClipdrawWindow, WithoutDataFilesOpensDefaultWhiteWindowWithBlackTexts) {
    ASSERT_NO_FATAL_FAILURE(start());
    const RasterPtr frame = expected_frame(500, 550, {}, LineImage{});
    wait_for(*frame, black);
    EXPECT_EQ(read_file("console.txt"),
              "ERROR: Config file not read.\nERROR: Image file not read.\n");
    // Without a palette a digit selects nothing; only the lightening shows.
    xdotool("key 1 period");
    wait_for(*frame, Colour{0.05f, 0.05f, 0.05f, 0});
}

TEST_F(ClipdrawWindow, ClickedShapesAreFilledClippedClearedDroppedAndResized) {
    ASSERT_NO_FATAL_FAILURE(start_with(paletteConfig, squareClip));
    const RasterPtr outline = expected_frame(side, side, {}, image);
    const RasterPtr clockwise = expected_frame(side, side, {bigTriangleClockwise}, image);
    ASSERT_EQ(std::memcmp(clockwise->pixels, outline->pixels, side * side * sizeof(Colour)), 0)
        << "this clockwise triangle should leave no stray pixels";
    click_shape(bigTriangleClockwise);
    wait_for(*clockwise, green);

    click_shape(bigTriangle);
    const WindowImage shown =
        wait_for(*expected_frame(side, side, {bigTriangleClockwise, bigTriangle}, image), blue);
    // Filled where the triangle meets the square, with colours that vary; clipped away outside.
    const Rgb white{255, 255, 255};
    EXPECT_NE(shown.at(100, 100), white);
    EXPECT_NE(shown.at(170, 100), white);
    EXPECT_NE(shown.at(100, 100), shown.at(170, 100));
    EXPECT_EQ(shown.at(55, 70), white);
    EXPECT_EQ(shown.at(115, 220), white);

    // Upper-case N only redraws; the right click drops the two pending vertices.
    xdotool("key N");
    click(80, 100);
    click(180, 110);
    click(10, 10, 3);
    click_shape(smallTriangle);
    const std::vector<Shape> three{bigTriangleClockwise, bigTriangle, smallTriangle};
    wait_for(*expected_frame(side, side, three, image), red);

    // n clears the shapes but keeps the vertices entered since the last space.
    click_shape(smallTriangle, false);
    xdotool("key n");
    wait_for(*outline, red);
    xdotool("key space");
    const RasterPtr frame = expected_frame(side, side, {smallTriangle}, image);
    const WindowImage before = wait_for(*frame, red);

    // 9 lies beyond the palette, and < and > only redraw: just the colour keys act.
    xdotool("key 1 9 less less greater period");
    wait_for(*frame, Colour{0.05f, 1.05f, 0.05f, 1});
    xdotool("key 0 comma comma");
    wait_for(*frame, Colour{0.9f, -0.1f, -0.1f, 1});

    // 385 = 1.5 x 256 + 1: the view widens to x from -1.5 to 1.5 and the scene moves right by
    // 64 columns, unscaled.
    xdotool("windowsize " + window + " 385 257");
    const WindowImage after =
        wait_for(*expected_frame(385, side, {smallTriangle}, image), Colour{0.9f, 0, 0, 1});
    for (const int32_t column : {120, 150}) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(after.at(column + 64, 130)[i], before.at(column, 130)[i], 2) << column;
        }
    }
}

TEST_F(ClipdrawWindow, BadDataFilesLeaveAWorkingWindow) {
    ASSERT_NO_FATAL_FAILURE(start_with(
        "WindowWidth: 0\nWindowWidth: 257\nWindowHeight: 99999\nWindowHeight:257\n ColourCount: 9\n"
        "ColourCount: 5\nRGBA(nan, 0, 0, 1)\nRGBA(1, 0, 0, 1)\nrgba(0, 0, 0, 1)\n" +
            std::string(300, 'x') + "\nRGBA(0, 1, 0, 1)\nRGBA(0, 0, 1, 1)",
        "A remark, then counts that promise more than the file gives\nLineCount: 9\n"
        "VertexCount: 6\nVertex 0: (-0.5, -0.5), RGB(1, 0, 0)\nVertex 1: (inf, -0.5), RGB(1, 0, "
        "0)\n"
        "Vertex 1: (0.5, -0.5), RGB(1, 0, 0)\nVertex 2: (0.5, 0.5), RGB(0, 0, 1)\n"
        "Vertex 3: (-0.5, 0.5), RGB(0, 0, 1)\n"
        "Line 0: 0, 1\nLine 1: 1, 7\nLine 2: 1, 2\nLine 3: 2, 3\nLine 4: 3, 0"));
    EXPECT_EQ(image.lineCount, 4);
    const std::string out = read_file("console.txt");
    int errors = 0;
    for (size_t at = out.find("ERROR:"); at != std::string::npos; at = out.find("ERROR:", at + 1)) {
        ++errors;
    }
    EXPECT_EQ(errors, 5) << out; // width, height, colour, vertex, line
    EXPECT_NE(out.find("Config file read.\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Image file (clippoly.txt) read."), std::string::npos) << out;

    // The palette holds the three good colours, in file order, despite the count of 5.
    click_shape(bigTriangle);
    wait_for(*expected_frame(side, side, {bigTriangle}, image), blue);
}

} // namespace
