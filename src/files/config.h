// config: the configuration file, window size and colour palette, read once at start-up.
#pragma once

#include "types/colour.h"

#include <cstdint>
#include <vector>

struct Config {
    int32_t windowWidth = 500;
    int32_t windowHeight = 550;
    // Number of palette entries stored: never more than the file announces, lowered to the
    // number of RGBA lines it gives. Digit keys select indices below it. Components that a partly
    // matching RGBA line does not give are 0.
    int32_t colourCount = 0;
    std::vector<Colour> palette;
};

// Reads "config.txt" from the working directory into config (see read_config_file).
void read_config(Config* config);
// Stores the defaults (500 x 550, no colours), then reads the file at path into config,
// reporting progress and errors on standard output. A missing file leaves the defaults. A window
// size outside 1 to 16384 and an RGBA line with a value that is not finite are reported and
// ignored.
void read_config_file(const char* path, Config* config);
