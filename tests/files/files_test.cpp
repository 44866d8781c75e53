#include "files/config.h"
#include "files/lineimage.h"
#include "files/textfile.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

// Each test in a fresh working directory, so that the files' paths in the messages are short.
class FileTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "clipdraw-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        std::filesystem::current_path(pattern);
    }
    void TearDown() override {
        const std::filesystem::path dir = std::filesystem::current_path();
        std::filesystem::current_path(dir.parent_path());
        std::filesystem::remove_all(dir);
    }
};

// Writes bytes as they are, with no line-ending translation.
void write_file(const std::string& bytes) {
    std::ofstream("data.txt", std::ios::binary) << bytes;
}

template <typename Call> std::string captured_stdout(Call call) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    call();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

using LoadLines = FileTest;

const std::string y64k(65535, 'y');

// clang-format off
const LoadCase loadCases[] = {
    LoadCase{"EmptyFile", "", {}},
    LoadCase{"BlankLines", "a\n\nb\n", {"a", "", "b"}},
    LoadCase{"OnlyACarriageReturnBeforeTheLineFeedDropped", "a\r\nb\r\r\nc\rd\n",
             {"a", "b\r", "c\rd"}},
    LoadCase{"NulBytesKept", std::string("a\0b\n\0\n", 6),
             {std::string("a\0b", 3), std::string("\0", 1)}},
    LoadCase{"LineFeedInTheNextRead", y64k + "\r\nz", {y64k, "z"}}};
// clang-format on

TEST_F(LoadLines, ReadsEveryLineWholeAndCountsIt) {
    for (const LoadCase& c : loadCases) {
        SCOPED_TRACE(c.name);
        write_file(c.bytes);
        std::optional<std::vector<std::string>> lines;
        const std::string console =
            captured_stdout([&] { lines = load_lines("data.txt", "%d lines in test file.\n"); });
        ASSERT_TRUE(lines.has_value());
        EXPECT_EQ(*lines, c.lines);
        EXPECT_EQ(console, std::to_string(c.lines.size()) + " lines in test file.\n");
    }
}

TEST_F(FileTest, LoadLinesOfAFileThatCannotBeReadPrintsNothing) {
    for (const char* path : {"missing.txt", "."}) {
        std::optional<std::vector<std::string>> lines;
        const std::string console =
            captured_stdout([&] { lines = load_lines(path, "%d lines.\n"); });
        EXPECT_FALSE(lines.has_value()) << path;
        EXPECT_EQ(console, "") << path;
    }
}

using Rgba = std::array<float, 4>;

struct ConfigCase {
    const char* name;
    std::string text;
    int32_t width, height;
    std::vector<Rgba> palette;
    int fileLines;
    std::string errors;
};

using ReadConfig = FileTest;

const Rgba red{1, 0, 0, 1};
const Rgba green{0, 0.5f, 0, 1};
const Rgba blue{0, 0, 1, 1};
const std::string rgb = "RGBA(1, 0, 0, 1)\nRGBA(0, 0.5, 0, 1)\nRGBA(0, 0, 1, 1)\n";
const std::string notFinite = "colour value not finite, ignored.\n";

// clang-format off
const ConfigCase configCases[] = {
    ConfigCase{"Example640x480", "WindowWidth: 640\nWindowHeight: 480\nColourCount: 3\n" + rgb,
               640, 480, {red, green, blue}, 6, ""},
    ConfigCase{"EmptyFile", "", 500, 550, {}, 0, ""},
    ConfigCase{"NoBlankAfterColon", "WindowWidth:640\nWindowHeight:\t480\n", 640, 480, {}, 2, ""},
    ConfigCase{"LeadingBlankOrOtherCaseMatchesNothing",
               " WindowWidth: 640\nwindowwidth: 641\nWINDOWHEIGHT: 480\nColourCount: 1\n"
               " RGBA(1, 0, 0, 1)\nrgba(1, 0, 0, 1)\n", 500, 550, {}, 6, ""},
    ConfigCase{"LaterSizeWins", "WindowWidth: 640\nWindowWidth: 800\nWindowHeight: 480 600\n",
               800, 480, {}, 3, ""},
    ConfigCase{"SurplusColoursIgnored", "ColourCount: 2\n" + rgb, 500, 550, {red, green}, 4, ""},
    ConfigCase{"ColourCountAfterTheColours", rgb + "ColourCount: 3\n",
               500, 550, {red, green, blue}, 4, ""},
    ConfigCase{"PartialMatchStoresLeadingFields",
               "ColourCount: 3\nRGBA(0.5 , 1, 1, 1)\nRGBA(0.25, 0.75)\n" + rgb,
               500, 550, {{0.5f, 0, 0, 0}, {0.25f, 0.75f, 0, 0}, red}, 6, ""},
    ConfigCase{"NegativeColourCountReadsNoColour", "ColourCount: -2\n" + rgb, 500, 550, {}, 4, ""},
    ConfigCase{"LastLineWithoutLineFeedIsRead",
               "ColourCount: 2\r\nRGBA(1, 0, 0, 1)\r\nRGBA(0, 0, 1, 1)",
               500, 550, {red, blue}, 3, ""},
    ConfigCase{"LongLineIsReadWholeAndPushesNoLineOff",
               "WindowWidth:" + std::string(60, ' ') + "640\nWindowHeight: 480\n",
               640, 480, {}, 2, ""},
    ConfigCase{"HugeColourCountKeepsOnlyGivenColours", "ColourCount: 2000000000\nRGBA(1, 0, 0, 1)\n",
               500, 550, {red}, 2, ""},
    ConfigCase{"NonFiniteColourIsNotTaken",
               "ColourCount: 2\nRGBA(nan, 0, 0, 1)\nRGBA(1, inf, 0, 1)\nRGBA(1, 0, 1e39, 1)\n"
               "RGBA(1, 0, 0, -INFINITY)\nRGBA(1 , nan)\n" + rgb,
               500, 550, {{1, 0, 0, 0}, red}, 9,
               "ERROR: data.txt line 2: " + notFinite + "ERROR: data.txt line 3: " + notFinite +
               "ERROR: data.txt line 4: " + notFinite + "ERROR: data.txt line 5: " + notFinite},
    ConfigCase{"WindowSizeOutOfRangeIsIgnored",
               "WindowWidth: 1\nWindowWidth: 0\nWindowHeight: 16384\nWindowHeight: -5\n"
               "WindowHeight: 16385\n", 1, 16384, {}, 5,
               "ERROR: data.txt line 2: window width 0 out of range (1 to 16384), ignored.\n"
               "ERROR: data.txt line 4: window height -5 out of range (1 to 16384), ignored.\n"
               "ERROR: data.txt line 5: window height 16385 out of range (1 to 16384), ignored.\n"},
    ConfigCase{"NumbersBeyondTheIntRangeDoNotWrapAround",
               "WindowWidth: 4294967936\nWindowHeight: 4294967776\nColourCount: 4294967297\n"
               "RGBA(1, 0, 0, 1)\n", 500, 550, {}, 4,
               "ERROR: data.txt line 1: window width 4294967936 out of range (1 to 16384), ignored.\n"
               "ERROR: data.txt line 2: window height 4294967776 out of range (1 to 16384), "
               "ignored.\n"
               "ERROR: data.txt line 3: colour count 4294967297 out of range, ignored.\n"}};
// clang-format on

TEST_F(ReadConfig, StoresSizeAndPaletteAndReports) {
    for (const ConfigCase& c : configCases) {
        SCOPED_TRACE(c.name);
        write_file(c.text);
        Config config{1, 2, 3, {Colour{9, 9, 9, 9}}};
        const std::string console = captured_stdout([&] { read_config_file("data.txt", &config); });
        EXPECT_EQ(config.windowWidth, c.width);
        EXPECT_EQ(config.windowHeight, c.height);
        std::vector<Rgba> palette;
        for (const Colour& p : config.palette) {
            palette.push_back({p.r, p.g, p.b, p.a});
        }
        EXPECT_EQ(palette, c.palette);
        EXPECT_EQ(config.colourCount, std::ssize(config.palette));
        EXPECT_EQ(console, std::to_string(c.fileLines) + " lines in config file.\n" + c.errors +
                               "Config file read.\n");
    }
}

TEST_F(FileTest, MissingConfigFileLeavesTheDefaults) {
    Config config{1, 2, 3, {Colour{9, 9, 9, 9}}};
    EXPECT_EQ(captured_stdout([&] { read_config_file("config.txt", &config); }),
              "ERROR: Config file not read.\n");
    EXPECT_EQ(config.windowWidth, 500);
    EXPECT_EQ(config.windowHeight, 550);
    EXPECT_EQ(config.colourCount, 0);
    EXPECT_EQ(config.palette.size(), 0u);
}

using Pair = std::array<int32_t, 2>;
using Fields = std::array<float, 6>;

struct ImageCase {
    const char* name;
    std::string text;
    std::vector<Pair> lines;
    std::vector<Fields> vertices;
    int fileLines;
    std::string errors;
    int reportedLines, reportedVertices;
};

using ReadImage = FileTest;

const std::string squareVertices = "Vertex 0: (-0.5, -0.5), RGB(1, 0, 0)\n"
                                   "Vertex 1: (0.5, -0.5), RGB(1, 0, 0)\n"
                                   "Vertex 2: (0.5, 0.5), RGB(0, 0, 1)\n"
                                   "Vertex 3: (-0.5, 0.5), RGB(0, 0, 1)\n";
const std::string squareLines = "Line 0: 0, 1\nLine 1: 1, 2\nLine 2: 2, 3\nLine 3: 3, 0\n";
const std::vector<Fields> square{{-0.5f, -0.5f, 1, 0, 0, 1},
                                 {0.5f, -0.5f, 1, 0, 0, 1},
                                 {0.5f, 0.5f, 0, 0, 1, 1},
                                 {-0.5f, 0.5f, 0, 0, 1, 1}};
const std::vector<Pair> squareEdges{{0, 1}, {1, 2}, {2, 3}, {3, 0}};
const std::string twoVertices = "Vertex 0: (0, 0), RGB(0, 0, 0)\nVertex 1: (1, 1), RGB(1, 1, 1)\n";
const std::vector<Fields> two{{0, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1}};
const std::string notStored = "names a vertex not stored, dropped.\n";

// clang-format off
const ImageCase imageCases[] = {
    ImageCase{"AnticlockwiseSquare", "LineCount: 4\nVertexCount: 4\n" + squareVertices + squareLines,
              squareEdges, square, 10, "", 4, 4},
    ImageCase{"LinesBeforeTheirVertices", squareLines + squareVertices + "LineCount: 4\nVertexCount: 4\n",
              squareEdges, square, 10, "", 4, 4},
    ImageCase{"PartialVertexStoresLeadingFields",
              "VertexCount: 3\nVertex 0: (0.25, 0.5)\nVertex 1: (0.75 0.5)\nVertex 7:(1,2),RGB(3,4,5)\n",
              {}, {{0.25f, 0.5f, 0, 0, 0, 1}, {0.75f, 0, 0, 0, 0, 1}, {1, 2, 3, 4, 5, 1}}, 4, "", 0, 3},
    ImageCase{"KeywordsAloneTakeNothing",
              "LineCount: 1\nVertexCount: 1\nVertex\nVertex 3:\nLine\nLine 2:\n vertex 0: (1, 1)\n",
              {}, {}, 7, "", 0, 0},
    ImageCase{"SurplusEntriesCountedNotStored",
              "LineCount: 2\nVertexCount: 2\n" + twoVertices +
              "Vertex 2: (5, 5)\nLine 0: 0, 1\nLine 1: 1, 0\nLine 2: 1, 1\n",
              {{0, 1}, {1, 0}}, two, 8, "", 3, 3},
    ImageCase{"LastLineWithoutLineFeedIsRead",
              "LineCount: 1\r\nVertexCount: 2\n" + twoVertices + "Line 0: 1, 0",
              {{1, 0}}, two, 5, "", 1, 2},
    ImageCase{"LongLineIsReadWholeAndPushesNoLineOff",
              "LineCount: 4\nVertexCount: 4\nVertex 0:" + std::string(60, ' ') + squareVertices.substr(9) +
              squareLines, squareEdges, square, 10, "", 4, 4},
    ImageCase{"HugeCountsKeepOnlyGivenEntries",
              "LineCount: 2000000000\nVertexCount: 2000000000\n" + twoVertices + "Line 0: 0, 1\n",
              {{0, 1}}, two, 5, "", 1, 2},
    ImageCase{"NumbersBeyondTheIntRangeDoNotWrapAround",
              "LineCount: 4294967298\nLineCount: 2\nVertexCount: 99999999999\nVertexCount: 2\n" +
              twoVertices + "Line 0: 4294967296, 4294967297\nLine 1: 0, 1\n",
              {{0, 1}}, two, 8,
              "ERROR: data.txt line 1: line count 4294967298 out of range, ignored.\n"
              "ERROR: data.txt line 3: vertex count 99999999999 out of range, ignored.\n"
              "ERROR: data.txt line 7: line 4294967296, 4294967297 " + notStored, 2, 2},
    ImageCase{"LineToMissingVertexIsDropped",
              "LineCount: 2\nVertexCount: 2\n" + twoVertices +
              "Line 0: 0, 2\nLine 1: -1, 0\nLine 2: 1\nLine 3: 0, 1\nLine 4: 1, 0\nLine 5: 9, 9\n",
              {{0, 1}, {1, 0}}, two, 10,
              "ERROR: data.txt line 5: line 0, 2 " + notStored +
              "ERROR: data.txt line 6: line -1, 0 " + notStored +
              "ERROR: data.txt line 7: line has no second vertex, dropped.\n", 6, 2},
    ImageCase{"NonFiniteVertexIsNotTaken",
              "VertexCount: 2\nVertex 0: (nan, 0), RGB(0, 0, 0)\nVertex 1: (0, 1e39), RGB(0, 0, 0)\n"
              "Vertex 2: (0, 0), RGB(0, 0, -inf)\nVertex 3: (0 , nan)\n" + twoVertices,
              {}, {{0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 1}}, 7,
              "ERROR: data.txt line 2: vertex value not finite, ignored.\n"
              "ERROR: data.txt line 3: vertex value not finite, ignored.\n"
              "ERROR: data.txt line 4: vertex value not finite, ignored.\n", 0, 3},
    ImageCase{"HugeNumberIsNotFinite",
              "VertexCount: 1\nVertex 0: (" + std::string(4000000, '9') + ", 0)\nVertex 1: (0.5, 0)\n",
              {}, {{0.5f, 0, 0, 0, 0, 1}}, 3,
              "ERROR: data.txt line 2: vertex value not finite, ignored.\n", 0, 1}};
// clang-format on

TEST_F(ReadImage, StoresTablesAndReports) {
    for (const ImageCase& c : imageCases) {
        SCOPED_TRACE(c.name);
        write_file(c.text);
        LineImage image;
        const std::string console = captured_stdout([&] { read_image_file("data.txt", &image); });
        std::vector<Pair> lines;
        for (const ImageLine& l : image.lines) {
            lines.push_back({l.first, l.second});
        }
        std::vector<Fields> vertices;
        for (const Vertex& v : image.vertices) {
            vertices.push_back({v.x, v.y, v.r, v.g, v.b, v.a});
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(vertices, c.vertices);
        EXPECT_EQ(image.lineCount, std::ssize(image.lines));
        EXPECT_EQ(image.vertexCount, std::ssize(image.vertices));
        EXPECT_EQ(console, std::to_string(c.fileLines) + " lines in image file.\n" + c.errors +
                               "Image file (data.txt) read. (" + std::to_string(c.reportedLines) +
                               " lines and " + std::to_string(c.reportedVertices) + " Vertices)\n");
    }
}

TEST_F(FileTest, MissingImageFileLeavesImageUnchanged) {
    LineImage image;
    EXPECT_EQ(captured_stdout([&] { read_image_file("clippoly.txt", &image); }),
              "ERROR: Image file not read.\n");
    EXPECT_EQ(image.lineCount, 0);
    EXPECT_EQ(image.vertexCount, 0);
}

// Random bytes laced with the keywords: both readers must return with their invariants whole.
TEST_F(FileTest, GarbageKeepsTheInvariants) {
    // clang-format off
    const std::string pieces[] = {"\nVertex 0: (", "\nLine 1: ", "\nLineCount: ", "\nVertexCount: ",
                                  "\nRGBA(", "\nColourCount: ", "\nWindowWidth: ", ", ", ", ", "nan",
                                  "1e39", "-"};
    // clang-format on
    std::mt19937 random(12345);
    size_t linesKept = 0;
    for (int round = 0; round < 100; ++round) {
        std::string bytes;
        while (bytes.size() < 2000) {
            const unsigned pick = random() % 32;
            bytes += pick < std::size(pieces) ? pieces[pick]
                     : pick < 28              ? std::to_string(random() % 3)
                                              : std::string(1, static_cast<char>(random()));
        }
        write_file(bytes);
        LineImage image;
        Config config;
        captured_stdout([&] {
            read_image_file("data.txt", &image);
            read_config_file("data.txt", &config);
        });
        ASSERT_EQ(image.lineCount, std::ssize(image.lines)) << round;
        ASSERT_EQ(image.vertexCount, std::ssize(image.vertices)) << round;
        ASSERT_EQ(config.colourCount, std::ssize(config.palette)) << round;
        for (const ImageLine& l : image.lines) {
            ASSERT_GE(std::min(l.first, l.second), 0) << round;
            ASSERT_LT(std::max(l.first, l.second), image.vertexCount) << round;
        }
        for (const Vertex& v : image.vertices) {
            for (const float field : {v.x, v.y, v.r, v.g, v.b}) {
                ASSERT_TRUE(std::isfinite(field)) << round;
            }
        }
        ASSERT_GE(std::min(config.windowWidth, config.windowHeight), 1) << round;
        ASSERT_LE(std::max(config.windowWidth, config.windowHeight), 16384) << round;
        linesKept += image.lines.size();
    }
    EXPECT_GT(linesKept, 0u) << "the garbage never reached the line table";
}

} // namespace
