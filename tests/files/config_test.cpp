#include "files/config.h"

#include "filetest.h"

#include <array>
#include <unistd.h>

namespace {

using Rgba = std::array<float, 4>;

std::vector<Rgba> palette_of(const Config& config) {
    std::vector<Rgba> out;
    for (const Colour& c : config.palette) {
        out.push_back({c.r, c.g, c.b, c.a});
    }
    return out;
}

struct ConfigCase {
    const char* name;
    std::string text;
    int32_t width;
    int32_t height;
    std::vector<Rgba> palette;
    std::string console; // "{path}" stands for the file's path
};

// Names the case instead of dumping its bytes.
void PrintTo(const ConfigCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadConfig : public FileTest, public testing::WithParamInterface<ConfigCase> {};

TEST_P(ReadConfig, StoresSizeAndPaletteAndReports) {
    const ConfigCase& c = GetParam();
    const std::string path = write_file("config.txt", c.text);
    Config config{1, 2, 3, {Colour{9, 9, 9, 9}}};
    const std::string console = captured_stdout([&] { read_config_file(path.c_str(), &config); });
    EXPECT_EQ(config.windowWidth, c.width);
    EXPECT_EQ(config.windowHeight, c.height);
    EXPECT_EQ(palette_of(config), c.palette);
    EXPECT_EQ(config.colourCount, std::ssize(config.palette));
    EXPECT_EQ(console, with_path(c.console, path));
}

const Rgba red{1, 0, 0, 1};
const Rgba green{0, 0.5f, 0, 1};
const Rgba blue{0, 0, 1, 1};
const std::string threeColours = "RGBA(1, 0, 0, 1)\nRGBA(0, 0.5, 0, 1)\nRGBA(0, 0, 1, 1)\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadConfig,
    testing::Values(
        ConfigCase{"Example640x480",
                   "WindowWidth: 640\nWindowHeight: 480\nColourCount: 3\n" + threeColours,
                   640,
                   480,
                   {red, green, blue},
                   "6 lines in config file.\nConfig file read.\n"},
        ConfigCase{"EmptyFile", "", 500, 550, {}, "0 lines in config file.\nConfig file read.\n"},
        ConfigCase{"NoBlankAfterColon",
                   "WindowWidth:640\nWindowHeight:\t480\n",
                   640,
                   480,
                   {},
                   "2 lines in config file.\nConfig file read.\n"},
        ConfigCase{"LeadingBlankOrOtherCaseMatchesNothing",
                   " WindowWidth: 640\nwindowwidth: 641\nWINDOWHEIGHT: 480\nColourCount: 1\n "
                   "RGBA(1, 0, 0, 1)\nrgba(1, 0, 0, 1)\n",
                   500,
                   550,
                   {},
                   "6 lines in config file.\nConfig file read.\n"},
        ConfigCase{"LaterSizeWins",
                   "WindowWidth: 640\nWindowWidth: 800\nWindowHeight: 480 600\n",
                   800,
                   480,
                   {},
                   "3 lines in config file.\nConfig file read.\n"},
        ConfigCase{"SurplusColoursIgnored",
                   "ColourCount: 2\n" + threeColours,
                   500,
                   550,
                   {red, green},
                   "4 lines in config file.\nConfig file read.\n"},
        ConfigCase{"ColourCountAfterTheColours",
                   threeColours + "ColourCount: 3\n",
                   500,
                   550,
                   {red, green, blue},
                   "4 lines in config file.\nConfig file read.\n"},
        ConfigCase{"PartialMatchStoresLeadingFields",
                   "ColourCount: 3\nRGBA(0.5 , 1, 1, 1)\nRGBA(0.25, 0.75)\n" + threeColours,
                   500,
                   550,
                   {{0.5f, 0, 0, 0}, {0.25f, 0.75f, 0, 0}, red},
                   "6 lines in config file.\nConfig file read.\n"},
        ConfigCase{"NoColourCountReadsNoColour",
                   threeColours,
                   500,
                   550,
                   {},
                   "3 lines in config file.\nConfig file read.\n"},
        ConfigCase{"NegativeColourCountReadsNoColour",
                   "ColourCount: -2\n" + threeColours,
                   500,
                   550,
                   {},
                   "4 lines in config file.\nConfig file read.\n"},
        ConfigCase{"LastLineWithoutLineFeedIsRead",
                   "ColourCount: 2\r\nRGBA(1, 0, 0, 1)\r\nRGBA(0, 0, 1, 1)",
                   500,
                   550,
                   {red, blue},
                   "3 lines in config file.\nConfig file read.\n"},
        ConfigCase{"LongLineIsReadWholeAndPushesNoLineOff",
                   "WindowWidth:" + std::string(60, ' ') + "640\nWindowHeight: 480\n",
                   640,
                   480,
                   {},
                   "2 lines in config file.\nConfig file read.\n"},
        ConfigCase{"HugeColourCountKeepsOnlyGivenColours",
                   "ColourCount: 2000000000\nRGBA(1, 0, 0, 1)\n",
                   500,
                   550,
                   {red},
                   "2 lines in config file.\nConfig file read.\n"},
        ConfigCase{"NonFiniteColourIsNotTaken",
                   "ColourCount: 2\nRGBA(nan, 0, 0, 1)\nRGBA(1, inf, 0, 1)\nRGBA(1, 0, 1e39, "
                   "1)\nRGBA(1, 0, 0, -INFINITY)\nRGBA(1 , nan)\n" +
                       threeColours,
                   500,
                   550,
                   {{1, 0, 0, 0}, red},
                   "9 lines in config file.\n"
                   "ERROR: {path} line 2: colour value not finite, ignored.\n"
                   "ERROR: {path} line 3: colour value not finite, ignored.\n"
                   "ERROR: {path} line 4: colour value not finite, ignored.\n"
                   "ERROR: {path} line 5: colour value not finite, ignored.\n"
                   "Config file read.\n"},
        ConfigCase{"WindowSizeOutOfRangeIsIgnored",
                   "WindowWidth: 640\nWindowWidth: 0\nWindowHeight: -5\nWindowHeight: 16385\n",
                   640,
                   550,
                   {},
                   "4 lines in config file.\n"
                   "ERROR: {path} line 2: window width 0 out of range (1 to 16384), ignored.\n"
                   "ERROR: {path} line 3: window height -5 out of range (1 to 16384), ignored.\n"
                   "ERROR: {path} line 4: window height 16385 out of range (1 to 16384), "
                   "ignored.\n"
                   "Config file read.\n"},
        ConfigCase{"NumbersBeyondTheIntRangeDoNotWrapAround",
                   "WindowWidth: 4294967936\nWindowHeight: 4294967776\nColourCount: "
                   "4294967297\nRGBA(1, 0, 0, 1)\n",
                   500,
                   550,
                   {},
                   "4 lines in config file.\n"
                   "ERROR: {path} line 1: window width 4294967936 out of range (1 to 16384), "
                   "ignored.\n"
                   "ERROR: {path} line 2: window height 4294967776 out of range (1 to 16384), "
                   "ignored.\n"
                   "ERROR: {path} line 3: colour count 4294967297 out of range, ignored.\n"
                   "Config file read.\n"},
        ConfigCase{"WindowSizeLimitsAccepted",
                   "WindowWidth: 1\nWindowHeight: 16384\n",
                   1,
                   16384,
                   {},
                   "2 lines in config file.\nConfig file read.\n"}),
    [](const testing::TestParamInfo<ConfigCase>& info) { return std::string(info.param.name); });

TEST_F(FileTest, MissingConfigFileLeavesTheDefaults) {
    Config config{1, 2, 3, {Colour{9, 9, 9, 9}}};
    const std::string missing = (dir / "config.txt").string();
    const std::string console =
        captured_stdout([&] { read_config_file(missing.c_str(), &config); });
    EXPECT_EQ(console, "ERROR: Config file not read.\n");
    EXPECT_EQ(config.windowWidth, 500);
    EXPECT_EQ(config.windowHeight, 550);
    EXPECT_EQ(config.colourCount, 0);
    EXPECT_EQ(config.palette.size(), 0u);
}

TEST_F(FileTest, ReadConfigReadsConfigTxtFromTheWorkingDirectory) {
    write_file("config.txt", "WindowWidth: 640\nColourCount: 1\nRGBA(1, 0, 0, 1)\n");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    Config config;
    const std::string console = captured_stdout([&] { read_config(&config); });
    std::filesystem::current_path(before);
    EXPECT_EQ(console, "3 lines in config file.\nConfig file read.\n");
    EXPECT_EQ(config.windowWidth, 640);
    EXPECT_EQ(palette_of(config), std::vector<Rgba>{red});
}

} // namespace
