#include "files/config.h"

#include "files/textfile.h"
#include "types/finite.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr int32_t windowSizeMin = 1;
constexpr int32_t windowSizeMax = 16384;

// Stores value into size unless it is out of range, which is reported and leaves size as it was.
void take_window_size(int32_t* size, long long value, const char* what, const char* path,
                      size_t line) {
    if (value < windowSizeMin || value > windowSizeMax) {
        std::printf("ERROR: %s line %zu: window %s %lld out of range (%d to %d), ignored.\n", path,
                    line, what, value, windowSizeMin, windowSizeMax);
        return;
    }
    *size = static_cast<int32_t>(value);
}

} // namespace

void read_config(Config* config) {
    read_config_file("config.txt", config);
}

void read_config_file(const char* path, Config* config) {
    *config = Config{};

    const auto lines = load_lines(path, "%d lines in config file.\n");
    if (!lines) {
        std::printf("ERROR: Config file not read.\n");
        return;
    }

    int32_t announced = 0;
    for (size_t i = 0; i < lines->size(); ++i) {
        const char* text = (*lines)[i].c_str();
        long long value = 0; // wide: see take_int32
        if (std::sscanf(text, "WindowWidth: %lld", &value) >= 1) {
            take_window_size(&config->windowWidth, value, "width", path, i + 1);
        } else if (std::sscanf(text, "WindowHeight: %lld", &value) >= 1) {
            take_window_size(&config->windowHeight, value, "height", path, i + 1);
        } else if (std::sscanf(text, "ColourCount: %lld", &value) >= 1) {
            take_int32(&announced, value, "colour count", path, i + 1);
        }
    }

    // The palette grows only with the colours the file gives, so a huge count allocates nothing.
    for (size_t i = 0; i < lines->size() && std::ssize(config->palette) < announced; ++i) {
        Colour colour{}; // what a partial match leaves out stays 0
        const int stored = std::sscanf((*lines)[i].c_str(), "RGBA(%f, %f, %f, %f)", &colour.r,
                                       &colour.g, &colour.b, &colour.a);
        if (stored < 1) {
            continue;
        }
        // Fields a partial match leaves out stay 0, so checking all four is checking those read.
        if (!all_finite({colour.r, colour.g, colour.b, colour.a})) {
            std::printf("ERROR: %s line %zu: colour value not finite, ignored.\n", path, i + 1);
            continue;
        }
        config->palette.push_back(colour);
    }
    config->colourCount = static_cast<int32_t>(config->palette.size());

    std::printf("Config file read.\n");
}
