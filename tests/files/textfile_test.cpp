#include "files/textfile.h"

#include "filetest.h"

namespace {

struct LoadCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

// Names the case instead of dumping its bytes.
void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.name;
}

class LoadLines : public FileTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadLines, ReadsEveryLineWholeAndCountsIt) {
    const std::string path = write_file("lines.txt", GetParam().bytes);
    std::optional<std::vector<std::string>> lines;
    const std::string console =
        captured_stdout([&] { lines = load_lines(path.c_str(), "%d lines in test file.\n"); });
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, GetParam().lines);
    EXPECT_EQ(console, std::to_string(GetParam().lines.size()) + " lines in test file.\n");
}

const std::string longLine(200, 'x');
const std::string wideLine = std::string(65535, 'y') + "\r\nz"; // CR last in the first read

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadLines,
    testing::Values(LoadCase{"EmptyFile", "", {}}, LoadCase{"BlankLines", "\n\n", {"", ""}},
                    LoadCase{"TwoLines", "a\nb\n", {"a", "b"}},
                    LoadCase{"LastLineWithoutLineFeedIsRead", "a\nb", {"a", "b"}},
                    LoadCase{"CarriageReturnBeforeLineFeedDropped", "a\r\nb\r\n", {"a", "b"}},
                    LoadCase{"OnlyTheLastCarriageReturnDropped", "a\r\r\nb\rc\n", {"a\r", "b\rc"}},
                    LoadCase{"NulBytesKept",
                             std::string("a\0b\n\0\n", 6),
                             {std::string("a\0b", 3), std::string("\0", 1)}},
                    LoadCase{"LongLineIsReadWholeAndPushesNoLineOff",
                             "first\n" + longLine + "\nlast\n",
                             {"first", longLine, "last"}},
                    LoadCase{"LineFeedInTheNextRead", wideLine, {std::string(65535, 'y'), "z"}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST_F(FileTest, LoadLinesOfAFileThatCannotBeReadPrintsNothing) {
    for (const std::string& path : {(dir / "missing.txt").string(), dir.string()}) {
        std::optional<std::vector<std::string>> lines;
        const std::string console =
            captured_stdout([&] { lines = load_lines(path.c_str(), "%d lines.\n"); });
        EXPECT_FALSE(lines.has_value()) << path;
        EXPECT_EQ(console, "") << path;
    }
}

} // namespace
