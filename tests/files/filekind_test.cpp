// A file is taken for what it holds, whatever its name: the picker's kind when it holds lines
// of that kind, else the kind with the most lines a reader takes.
#include "files/filekind.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct KindCase {
    const char* text;
    FileKind preferred;
    FileKind kind;
};

const char* const clip = "LineCount: 1\nVertexCount: 2\nVertex 0: (0, 0), RGB(1, 0, 0)\n"
                         "Vertex 1: (1, 0), RGB(1, 0, 0)\nLine 0: 0, 1\n";
const char* const config =
    "WindowWidth: 300\nWindowHeight: 200\nColourCount: 1\nRGBA(1, 0, 0, 1)\n";
const char* const scene =
    "Shape\nVertex: (0, 0), RGBA(1, 0, 0, 1)\nVertex: (1, 0), RGBA(1, 0, 0, 1)\n";

const KindCase cases[] = {
    {clip, FileKind::Unknown, FileKind::ClipPolygon},
    {clip, FileKind::Scene, FileKind::ClipPolygon},
    {config, FileKind::ClipPolygon, FileKind::Config},
    {scene, FileKind::Config, FileKind::Scene},
    {"\x89PNG\r\n\x1a\n\x01\xff random bytes", FileKind::Scene, FileKind::Unknown},
    {"", FileKind::Config, FileKind::Unknown},
    // A remark that starts like no keyword, a blank before one: neither counts.
    {"Shapes to come\n WindowWidth: 3\n", FileKind::Unknown, FileKind::Unknown},
    // Lines of two kinds: the picker's when it has any, else the most.
    {"WindowWidth: 300\nLineCount: 1\nVertexCount: 2\n", FileKind::Config, FileKind::Config},
    {"WindowWidth: 300\nLineCount: 1\nVertexCount: 2\n", FileKind::Unknown, FileKind::ClipPolygon},
    {"WindowWidth: 300\nLineCount: 1\n", FileKind::Scene, FileKind::Unknown},
    // Every keyword alone tells its kind.
    {"WindowHeight: 200\n", FileKind::Unknown, FileKind::Config},
    {"ColourCount: 2\n", FileKind::Unknown, FileKind::Config},
    {"RGBA(1, 0, 0, 1)\n", FileKind::Unknown, FileKind::Config},
    {"LineCount: 3\n", FileKind::Unknown, FileKind::ClipPolygon},
    {"Vertex 0: (0, 0), RGB(1, 0, 0)\n", FileKind::Unknown, FileKind::ClipPolygon},
    {"Line 0: 0, 1\n", FileKind::Unknown, FileKind::ClipPolygon},
    {"Vertex: (0, 0), RGBA(1, 0, 0, 1)\n", FileKind::Unknown, FileKind::Scene},
};

TEST(FileKind, IsWhatTheFileHolds) {
    const std::string path = testing::TempDir() + "filekind.txt";
    for (const KindCase& c : cases) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(c.text, file);
        std::fclose(file);
        EXPECT_EQ(file_kind(path.c_str(), c.preferred), c.kind) << c.text;
    }
    std::remove(path.c_str());
    EXPECT_EQ(file_kind(path.c_str(), FileKind::Config), FileKind::Unknown);
}

} // namespace
