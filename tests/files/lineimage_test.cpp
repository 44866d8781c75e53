#include "files/config.h"
#include "files/lineimage.h"

#include "filetest.h"

#include <array>
#include <cmath>
#include <random>

namespace {

using Pair = std::array<int32_t, 2>;
using Fields = std::array<float, 6>;

struct ImageCase {
    const char* name;
    std::string text;
    std::vector<Pair> lines;
    std::vector<Fields> vertices;
    std::string console; // "{path}" stands for the file's path
};

// Names the case instead of dumping its bytes.
void PrintTo(const ImageCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadImage : public FileTest, public testing::WithParamInterface<ImageCase> {};

TEST_P(ReadImage, StoresTablesAndReports) {
    const ImageCase& c = GetParam();
    const std::string path = write_file("clippoly.txt", c.text);
    LineImage image;
    const std::string console = captured_stdout([&] { read_image_file(path.c_str(), &image); });
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
    EXPECT_EQ(console, with_path(c.console, path));
}

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
const std::string two =
    "VertexCount: 2\nVertex 0: (0, 0), RGB(0, 0, 0)\nVertex 1: (1, 1), RGB(1, 1, 1)\n";
const std::vector<Fields> twoVertices{{0, 0, 0, 0, 0, 1}, {1, 1, 1, 1, 1, 1}};
const std::string squareRead = "Image file ({path}) read. (4 lines and 4 Vertices)\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadImage,
    testing::Values(
        ImageCase{"AnticlockwiseSquare",
                  "LineCount: 4\nVertexCount: 4\n" + squareVertices + squareLines, squareEdges,
                  square, "10 lines in image file.\n" + squareRead},
        ImageCase{"LinesBeforeTheirVertices",
                  squareLines + squareVertices + "LineCount: 4\nVertexCount: 4\n", squareEdges,
                  square, "10 lines in image file.\n" + squareRead},
        ImageCase{"VertexNumberIsIgnored",
                  "VertexCount: 1\nVertex 7: (0.25, 0.5), RGB(1, 1, 0)\n",
                  {},
                  {{0.25f, 0.5f, 1, 1, 0, 1}},
                  "2 lines in image file.\nImage file ({path}) read. (0 lines and 1 Vertices)\n"},
        ImageCase{"PartialVertexStoresLeadingFields",
                  "VertexCount: 3\nVertex 0: (0.25, 0.5)\nVertex 1: (0.75 0.5)\nVertex "
                  "2:(1,2),RGB(3,4,5)\n",
                  {},
                  {{0.25f, 0.5f, 0, 0, 0, 1}, {0.75f, 0, 0, 0, 0, 1}, {1, 2, 3, 4, 5, 1}},
                  "4 lines in image file.\nImage file ({path}) read. (0 lines and 3 Vertices)\n"},
        ImageCase{
            "KeywordsAloneTakeNothing",
            "LineCount: 1\nVertexCount: 1\nVertex\nVertex 3:\nLine\nLine 2:\n vertex 0: (1, 1)\n",
            {},
            {},
            "7 lines in image file.\nImage file ({path}) read. (0 lines and 0 Vertices)\n"},
        ImageCase{"NoCountLinesStoreNothing",
                  "Vertex 0: (0, 0), RGB(0, 0, 0)\nLine 0: 0, 0\n",
                  {},
                  {},
                  "2 lines in image file.\nImage file ({path}) read. (1 lines and 1 Vertices)\n"},
        ImageCase{"SurplusEntriesCountedNotStored",
                  "LineCount: 2\n" + two +
                      "Vertex 2: (5, 5)\nLine 0: 0, 1\nLine 1: 1, 0\nLine 2: 1, 1\n",
                  {{0, 1}, {1, 0}},
                  twoVertices,
                  "8 lines in image file.\nImage file ({path}) read. (3 lines and 3 Vertices)\n"},
        ImageCase{"LastLineWithoutLineFeedIsRead",
                  "LineCount: 1\r\n" + two + "Line 0: 1, 0",
                  {{1, 0}},
                  twoVertices,
                  "5 lines in image file.\nImage file ({path}) read. (1 lines and 2 Vertices)\n"},
        ImageCase{"LongLineIsReadWholeAndPushesNoLineOff",
                  "LineCount: 4\nVertexCount: 4\nVertex 0:" + std::string(60, ' ') +
                      "(-0.5, -0.5), RGB(1, 0, 0)\n" +
                      squareVertices.substr(squareVertices.find('\n') + 1) + squareLines,
                  squareEdges, square, "10 lines in image file.\n" + squareRead},
        ImageCase{"HugeCountsKeepOnlyGivenEntries",
                  "LineCount: 2000000000\nVertexCount: 2000000000\nVertex 0: (0, 0), RGB(0, 0, 0)\n"
                  "Vertex 1: (1, 1), RGB(1, 1, 1)\nLine 0: 0, 1\n",
                  {{0, 1}},
                  twoVertices,
                  "5 lines in image file.\nImage file ({path}) read. (1 lines and 2 Vertices)\n"},
        ImageCase{"NumbersBeyondTheIntRangeDoNotWrapAround",
                  "LineCount: 4294967298\nLineCount: 2\nVertexCount: 99999999999\n" + two +
                      "Line 0: 4294967296, 4294967297\nLine 1: 0, 1\n",
                  {{0, 1}},
                  twoVertices,
                  "8 lines in image file.\n"
                  "ERROR: {path} line 1: line count 4294967298 out of range, ignored.\n"
                  "ERROR: {path} line 3: vertex count 99999999999 out of range, ignored.\n"
                  "ERROR: {path} line 7: line 4294967296, 4294967297 names a vertex not stored, "
                  "dropped.\n"
                  "Image file ({path}) read. (2 lines and 2 Vertices)\n"},
        ImageCase{"LineToMissingVertexIsDropped",
                  "LineCount: 2\n" + two +
                      "Line 0: 0, 2\nLine 1: -1, 0\nLine 2: 1\nLine 3: 0, 1\nLine 4: 1, 0\nLine 5: "
                      "9, 9\n",
                  {{0, 1}, {1, 0}},
                  twoVertices,
                  "10 lines in image file.\n"
                  "ERROR: {path} line 5: line 0, 2 names a vertex not stored, dropped.\n"
                  "ERROR: {path} line 6: line -1, 0 names a vertex not stored, dropped.\n"
                  "ERROR: {path} line 7: line has no second vertex, dropped.\n"
                  "Image file ({path}) read. (6 lines and 2 Vertices)\n"},
        ImageCase{
            "NonFiniteVertexIsNotTaken",
            "VertexCount: 2\nVertex 0: (nan, 0), RGB(0, 0, 0)\nVertex 1: (0, 1e39), RGB(0, 0, 0)\n"
            "Vertex 2: (0, 0), RGB(0, 0, -inf)\nVertex 3: (0 , nan)\n" +
                two.substr(two.find('\n') + 1),
            {},
            {{0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 1}},
            "7 lines in image file.\n"
            "ERROR: {path} line 2: vertex value not finite, ignored.\n"
            "ERROR: {path} line 3: vertex value not finite, ignored.\n"
            "ERROR: {path} line 4: vertex value not finite, ignored.\n"
            "Image file ({path}) read. (0 lines and 3 Vertices)\n"}),
    [](const testing::TestParamInfo<ImageCase>& info) { return std::string(info.param.name); });

TEST_F(FileTest, MissingImageFileLeavesImageUnchanged) {
    LineImage image;
    const std::string missing = (dir / "clippoly.txt").string();
    const std::string console = captured_stdout([&] { read_image_file(missing.c_str(), &image); });
    EXPECT_EQ(console, "ERROR: Image file not read.\n");
    EXPECT_EQ(image.lineCount, 0);
    EXPECT_EQ(image.vertexCount, 0);
}

TEST_F(FileTest, HugeNumberIsNotFinite) {
    const std::string path =
        write_file("clippoly.txt", "VertexCount: 1\nVertex 0: (" + std::string(4000000, '9') +
                                       ", 0), RGB(0, 0, 0)\nVertex 1: (0.5, 0)\n");
    LineImage image;
    const std::string console = captured_stdout([&] { read_image_file(path.c_str(), &image); });
    ASSERT_EQ(image.vertexCount, 1);
    EXPECT_EQ(image.vertices[0].x, 0.5f);
    EXPECT_EQ(console,
              with_path("3 lines in image file.\nERROR: {path} line 2: vertex value not finite, "
                        "ignored.\nImage file ({path}) read. (0 lines and 1 Vertices)\n",
                        path));
}

// Random bytes laced with the keywords: both readers must return with their invariants whole.
TEST_F(FileTest, GarbageKeepsTheInvariants) {
    const std::string pieces[] = {"Vertex ",
                                  "Line ",
                                  "LineCount: ",
                                  "VertexCount: ",
                                  "RGBA(",
                                  "ColourCount: ",
                                  "WindowWidth: ",
                                  ": (",
                                  ", ",
                                  "), RGB(",
                                  "nan",
                                  "inf",
                                  "-",
                                  "1e39",
                                  "\n",
                                  "\r\n",
                                  std::string("\0", 1)};
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        while (bytes.size() < 4000) {
            const unsigned pick = random() % 40;
            if (pick < std::size(pieces)) {
                bytes += pieces[pick];
            } else if (pick < 30) {
                bytes += std::to_string(static_cast<int>(random() % 9) - 2);
            } else {
                bytes += static_cast<char>(random());
            }
        }
        const std::string path = write_file("garbage.txt", bytes);
        LineImage image;
        Config config;
        captured_stdout([&] {
            read_image_file(path.c_str(), &image);
            read_config_file(path.c_str(), &config);
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
    }
}

} // namespace
