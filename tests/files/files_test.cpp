#include "files/config.h"
#include "files/lineimage.h"
#include "files/textfile.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
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

// Records as arrays of their fields, which a failure prints.
template <typename Fields, typename Record>
std::vector<Fields> fields(const std::vector<Record>& in) {
    std::vector<Fields> out;
    for (const Record& record : in) {
        out.push_back(std::bit_cast<Fields>(record));
    }
    return out;
}

// The message for an error on a line of data.txt.
std::string error(int line, const std::string& what) {
    return "ERROR: data.txt line " + std::to_string(line) + ": " + what + "\n";
}

using LoadLines = FileTest;
using ReadConfig = FileTest;
using ReadImage = FileTest;

TEST_F(LoadLines, ReadsEveryLineWholeAndCountsIt) {
    const std::string y64k(65535, 'y');
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"EmptyFile", "", {}},
        {"BlankLines", "a\n\nb\n", {"a", "", "b"}},
        {"OnlyACarriageReturnBeforeTheLineFeedDropped", "a\r\nb\r\r\nc\rd\n", {"a", "b\r", "c\rd"}},
        {"NulBytesKept", {"a\0b\n\0\n", 6}, {{"a\0b", 3}, {"\0", 1}}},
        {"LineFeedInTheNextRead", y64k + "\r\nz", {y64k, "z"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_file(c.bytes);
        std::optional<std::vector<std::string>> lines;
        EXPECT_EQ(captured_stdout([&] { lines = load_lines("data.txt", "%d lines in test.\n"); }),
                  std::to_string(c.lines.size()) + " lines in test.\n");
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_F(FileTest, LoadLinesOfAFileThatCannotBeReadPrintsNothing) {
    for (const char* path : {"missing.txt", "."}) {
        std::optional<std::vector<std::string>> lines;
        EXPECT_EQ(captured_stdout([&] { lines = load_lines(path, "%d lines.\n"); }), "") << path;
        EXPECT_FALSE(lines.has_value()) << path;
    }
}

using Rgba = std::array<float, 4>;
const Rgba red{1, 0, 0, 1}, green{0, 0.5f, 0, 1}, blue{0, 0, 1, 1};
const std::string rgb = "RGBA(1, 0, 0, 1)\nRGBA(0, 0.5, 0, 1)\nRGBA(0, 0, 1, 1)\n";
const std::string notFinite = "colour value not finite, ignored.";
const std::string outOfRange = " out of range (1 to 16384), ignored.";

TEST_F(ReadConfig, StoresSizeAndPaletteAndReports) {
    const struct {
        const char* name;
        std::string text;
        int32_t width, height;
        std::vector<Rgba> palette;
        int fileLines;
        std::string errors;
    } cases[] = {
        // clang-format off
        {"EmptyFile", "", 500, 550, {}, 0, ""},
        {"NoBlankAfterColon", "WindowWidth:640\nWindowHeight:\t480\n", 640, 480, {}, 2, ""},
        {"LeadingBlankOrOtherCaseMatchesNothing", " WindowWidth: 640\nwindowwidth: 641\n"
         "WINDOWHEIGHT: 480\nColourCount: 1\n RGBA(1, 0, 0, 1)\nrgba(1, 0, 0, 1)\n",
         500, 550, {}, 6, ""},
        {"LaterSizeWins", "WindowWidth: 640\nWindowWidth: 800\nWindowHeight: 480 600\n",
         800, 480, {}, 3, ""},
        {"SurplusColoursIgnored", "ColourCount: 2\n" + rgb, 500, 550, {red, green}, 4, ""},
        {"ColourCountAfterTheColours", rgb + "ColourCount: 3\n", 500, 550, {red, green, blue}, 4, ""},
        {"PartialMatchStoresLeadingFields",
         "ColourCount: 3\nRGBA(0.5 , 1, 1, 1)\nRGBA(0.25, 0.75)\n" + rgb,
         500, 550, {{0.5f, 0, 0, 0}, {0.25f, 0.75f, 0, 0}, red}, 6, ""},
        {"NegativeColourCountReadsNoColour", "ColourCount: -2\n" + rgb, 500, 550, {}, 4, ""},
        {"LastLineWithoutLineFeedIsRead", "ColourCount: 2\r\nRGBA(1, 0, 0, 1)\r\nRGBA(0, 0, 1, 1)",
         500, 550, {red, blue}, 3, ""},
        {"LongLineIsReadWholeAndPushesNoLineOff",
         "WindowWidth:" + std::string(60, ' ') + "640\nWindowHeight: 480\n", 640, 480, {}, 2, ""},
        {"HugeColourCountKeepsOnlyGivenColours", "ColourCount: 2000000000\nRGBA(1, 0, 0, 1)\n",
         500, 550, {red}, 2, ""},
        {"NonFiniteColourIsNotTaken",
         "ColourCount: 2\nRGBA(nan, 0, 0, 1)\nRGBA(1, inf, 0, 1)\nRGBA(1, 0, 1e39, 1)\n"
         "RGBA(1, 0, 0, -INFINITY)\nRGBA(1 , nan)\n" + rgb, 500, 550, {{1, 0, 0, 0}, red}, 9,
         error(2, notFinite) + error(3, notFinite) + error(4, notFinite) + error(5, notFinite)},
        {"WindowSizeOutOfRangeIsIgnored", "WindowWidth: 1\nWindowWidth: 0\nWindowHeight: 16384\n"
         "WindowHeight: -5\nWindowHeight: 16385\n", 1, 16384, {}, 5,
         error(2, "window width 0" + outOfRange) + error(4, "window height -5" + outOfRange) +
         error(5, "window height 16385" + outOfRange)},
        {"NumbersBeyondTheIntRangeDoNotWrapAround", "WindowWidth: 4294967936\n"
         "WindowHeight: 4294967776\nColourCount: 4294967297\nRGBA(1, 0, 0, 1)\n", 500, 550, {}, 4,
         error(1, "window width 4294967936" + outOfRange) +
         error(2, "window height 4294967776" + outOfRange) +
         error(3, "colour count 4294967297 out of range, ignored.")},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_file(c.text);
        Config config{1, 2, 3, {Colour{9, 9, 9, 9}}};
        EXPECT_EQ(captured_stdout([&] { read_config_file("data.txt", &config); }),
                  std::to_string(c.fileLines) + " lines in config file.\n" + c.errors +
                      "Config file read.\n");
        EXPECT_EQ(config.windowWidth, c.width);
        EXPECT_EQ(config.windowHeight, c.height);
        EXPECT_EQ(fields<Rgba>(config.palette), c.palette);
        EXPECT_EQ(config.colourCount, std::ssize(config.palette));
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
using Six = std::array<float, 6>;
const std::string squareVertices =
    "Vertex 0: (-0.5, -0.5), RGB(1, 0, 0)\nVertex 1: (0.5, -0.5), RGB(1, 0, 0)\n"
    "Vertex 2: (0.5, 0.5), RGB(0, 0, 1)\nVertex 3: (-0.5, 0.5), RGB(0, 0, 1)\n";
const std::string squareLines = "Line 0: 0, 1\nLine 1: 1, 2\nLine 2: 2, 3\nLine 3: 3, 0\n";
const std::vector<Six> square{{-0.5f, -0.5f, 1, 0, 0, 1},
                              {0.5f, -0.5f, 1, 0, 0, 1},
                              {0.5f, 0.5f, 0, 0, 1, 1},
                              {-0.5f, 0.5f, 0, 0, 1, 1}};
const std::vector<Pair> squareEdges{{0, 1}, {1, 2}, {2, 3}, {3, 0}};
const std::string twoVertices = "Vertex 0: (0, 0), RGB(0, 0, 0)\nVertex 1: (1, 1), RGB(1, 1, 1)\n";
const std::vector<Six> two{{0, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1}};
const std::string notStored = "names a vertex not stored, dropped.";
const std::string vertexNotFinite = "vertex value not finite, ignored.";

TEST_F(ReadImage, StoresTablesAndReports) {
    const struct {
        const char* name;
        std::string text;
        std::vector<Pair> lines;
        std::vector<Six> vertices;
        int fileLines;
        std::string errors;
        int reportedLines, reportedVertices;
    } cases[] = {
        // clang-format off
        {"LinesBeforeTheirVertices", squareLines + squareVertices + "LineCount: 4\nVertexCount: 4\n",
         squareEdges, square, 10, "", 4, 4},
        {"PartialVertexStoresLeadingFields", "VertexCount: 3\nVertex 0: (0.25, 0.5)\n"
         "Vertex 1: (0.75 0.5)\nVertex 7:(1,2),RGB(3,4,5)\n",
         {}, {{0.25f, 0.5f, 0, 0, 0, 1}, {0.75f, 0, 0, 0, 0, 1}, {1, 2, 3, 4, 5, 1}}, 4, "", 0, 3},
        {"KeywordsAloneTakeNothing",
         "LineCount: 1\nVertexCount: 1\nVertex\nVertex 3:\nLine\nLine 2:\n vertex 0: (1, 1)\n",
         {}, {}, 7, "", 0, 0},
        {"SurplusEntriesCountedNotStored", "LineCount: 2\nVertexCount: 2\n" + twoVertices +
         "Vertex 2: (5, 5)\nLine 0: 0, 1\nLine 1: 1, 0\nLine 2: 1, 1\n",
         {{0, 1}, {1, 0}}, two, 8, "", 3, 3},
        {"LastLineWithoutLineFeedIsRead",
         "LineCount: 1\r\nVertexCount: 2\n" + twoVertices + "Line 0: 1, 0", {{1, 0}}, two, 5, "", 1, 2},
        {"LongLineIsReadWholeAndPushesNoLineOff", "LineCount: 4\nVertexCount: 4\nVertex 0:" +
         std::string(60, ' ') + squareVertices.substr(9) + squareLines,
         squareEdges, square, 10, "", 4, 4},
        {"HugeCountsKeepOnlyGivenEntries",
         "LineCount: 2000000000\nVertexCount: 2000000000\n" + twoVertices + "Line 0: 0, 1\n",
         {{0, 1}}, two, 5, "", 1, 2},
        {"NumbersBeyondTheIntRangeDoNotWrapAround",
         "LineCount: 4294967298\nLineCount: 2\nVertexCount: 99999999999\nVertexCount: 2\n" +
         twoVertices + "Line 0: 4294967296, 4294967297\nLine 1: 0, 1\n", {{0, 1}}, two, 8,
         error(1, "line count 4294967298 out of range, ignored.") +
         error(3, "vertex count 99999999999 out of range, ignored.") +
         error(7, "line 4294967296, 4294967297 " + notStored), 2, 2},
        {"LineToMissingVertexIsDropped", "LineCount: 2\nVertexCount: 2\n" + twoVertices +
         "Line 0: 0, 2\nLine 1: -1, 0\nLine 2: 1\nLine 3: 0, 1\nLine 4: 1, 0\nLine 5: 9, 9\n",
         {{0, 1}, {1, 0}}, two, 10,
         error(5, "line 0, 2 " + notStored) + error(6, "line -1, 0 " + notStored) +
         error(7, "line has no second vertex, dropped."), 6, 2},
        {"NonFiniteVertexIsNotTaken",
         "VertexCount: 2\nVertex 0: (nan, 0), RGB(0, 0, 0)\nVertex 1: (0, 1e39), RGB(0, 0, 0)\n"
         "Vertex 2: (0, 0), RGB(0, 0, -inf)\nVertex 3: (0 , nan)\n" + twoVertices,
         {}, {{0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 1}}, 7,
         error(2, vertexNotFinite) + error(3, vertexNotFinite) + error(4, vertexNotFinite), 0, 3},
        {"HugeNumberIsNotFinite",
         "VertexCount: 1\nVertex 0: (" + std::string(4000000, '9') + ", 0)\nVertex 1: (0.5, 0)\n",
         {}, {{0.5f, 0, 0, 0, 0, 1}}, 3, error(2, vertexNotFinite), 0, 1},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write_file(c.text);
        LineImage image;
        EXPECT_EQ(captured_stdout([&] { read_image_file("data.txt", &image); }),
                  std::to_string(c.fileLines) + " lines in image file.\n" + c.errors +
                      "Image file (data.txt) read. (" + std::to_string(c.reportedLines) +
                      " lines and " + std::to_string(c.reportedVertices) + " Vertices)\n");
        EXPECT_EQ(fields<Pair>(image.lines), c.lines);
        EXPECT_EQ(fields<Six>(image.vertices), c.vertices);
        EXPECT_EQ(image.lineCount, std::ssize(image.lines));
        EXPECT_EQ(image.vertexCount, std::ssize(image.vertices));
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
        "\nRGBA(", "\nColourCount: ", "\nWindowWidth: ", ", ", ", ", "nan", "1e39", "-"};
    // clang-format on
    std::mt19937 random(12345);
    size_t linesKept = 0;
    for (int round = 0; round < 100 && !HasFailure(); ++round) {
        SCOPED_TRACE(round);
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
        ASSERT_EQ(image.lineCount, std::ssize(image.lines));
        ASSERT_EQ(image.vertexCount, std::ssize(image.vertices));
        ASSERT_EQ(config.colourCount, std::ssize(config.palette));
        for (const ImageLine& l : image.lines) {
            ASSERT_GE(std::min(l.first, l.second), 0);
            ASSERT_LT(std::max(l.first, l.second), image.vertexCount);
        }
        for (const Vertex& v : image.vertices) {
            ASSERT_TRUE(std::isfinite(static_cast<double>(v.x) + v.y + v.r + v.g + v.b));
        }
        ASSERT_GE(std::min(config.windowWidth, config.windowHeight), 1);
        ASSERT_LE(std::max(config.windowWidth, config.windowHeight), 16384);
        linesKept += image.lines.size();
    }
    EXPECT_GT(linesKept, 0u) << "the garbage never reached the line table";
}

} // namespace
