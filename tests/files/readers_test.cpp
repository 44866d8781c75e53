// One test per case under cases/<reader>/: what reading <name>.txt there prints, then a dump of
// what the reader stored, compared with <name>.expected. CLIPDRAW_RECORD=1 rewrites those files
// and reports each case as recorded (skipped), never as passed.
#include "files/config.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "files/textfile.h"
#include "record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

template <typename... T> std::string text(const char* format, T... values) {
    char out[160];
    std::snprintf(out, sizeof out, format, values...);
    return out;
}

std::string dump_lines(const std::string& path) {
    const auto lines = load_lines(path.c_str(), "%d lines.\n");
    std::string dump = lines ? "== lines\n" : "== not read\n";
    for (const std::string& line : lines.value_or(std::vector<std::string>{})) {
        dump += testing::PrintToString(line) + "\n";
    }
    return dump;
}

std::string dump_config(const std::string& path) {
    // Not the defaults, which the reader must set itself.
    Config c{1, 2, 3, {Colour{9, 9, 9, 9}}};
    if (path == "config.txt") {
        read_config(&c);
    } else {
        read_config_file(path.c_str(), &c);
    }
    std::string dump =
        text("== %d x %d, colourCount %d\n", c.windowWidth, c.windowHeight, c.colourCount);
    for (const Colour& k : c.palette) {
        dump += text("colour %.9g %.9g %.9g %.9g\n", k.r, k.g, k.b, k.a);
    }
    return dump;
}

std::string dump_image(const std::string& path) {
    LineImage m;
    read_image_file(path.c_str(), &m);
    std::string dump = text("== lineCount %d, vertexCount %d\n", m.lineCount, m.vertexCount);
    for (const Vertex& v : m.vertices) {
        dump += text("vertex %.9g %.9g %.9g %.9g %.9g %.9g\n", v.x, v.y, v.r, v.g, v.b, v.a);
    }
    for (const ImageLine& l : m.lines) {
        dump += text("line %d %d\n", l.first, l.second);
    }
    return dump;
}

// The list holds two empty shapes before, to show that the reader appends to them.
std::string dump_scene(const std::string& path) {
    ListObject* list = listobject_new(listobject_node_new(listvertex_new(nullptr)));
    listobject_append(list, listobject_node_new(listvertex_new(nullptr)));
    std::string dump = scenefile_read(path.c_str(), list) ? "== read" : "== not read";
    dump += text(", %d shapes (2 held before)\n", list->nmembers) + scenefile_text(list);
    listobject_free(list);
    return dump;
}

std::string read_with(const std::string& reader, const std::string& path) {
    testing::internal::CaptureStdout();
    std::string dump;
    if (reader == "lines") {
        dump = dump_lines(path);
    } else if (reader == "config") {
        dump = dump_config(path);
    } else if (reader == "image") {
        dump = dump_image(path);
    } else {
        dump = dump_scene(path);
    }
    return testing::internal::GetCapturedStdout() + dump;
}

class Readers : public testing::TestWithParam<std::string> {};

TEST_P(Readers, PrintAndStoreWhatTheCaseExpects) {
    const fs::path path = fs::path(CASES_DIR) / (GetParam() + ".expected");
    fs::current_path(path.parent_path());
    const std::string got = read_with(path.parent_path().filename(), path.stem().string() + ".txt");
    if (record_mode()) {
        std::ofstream(path, std::ios::binary) << got;
        GTEST_SKIP() << "recorded " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path << " is missing";
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    const auto differ = std::ranges::mismatch(expected, got).in2;
    EXPECT_EQ(expected, got) << GetParam() << ": first difference on line "
                             << 1 + std::count(got.begin(), differ, '\n');
}

// <reader>/<name> of every <name>.expected.
std::vector<std::string> cases() {
    std::vector<std::string> names;
    for (const fs::path& path : fs::recursive_directory_iterator(CASES_DIR)) {
        if (path.extension() == ".expected") {
            names.push_back(fs::relative(path, CASES_DIR).replace_extension());
        }
    }
    return names;
}

std::string case_name(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::ranges::replace_if(
        name, [](char c) { return c == '/' || c == '-'; }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Readers, testing::ValuesIn(cases()), case_name);

} // namespace
