// json: the few pieces the page's JSON is built from. Every item ends in a comma, which the
// closing bracket takes over.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

// Nine digits, enough to give back the same float; NaN and the infinities, which JSON lacks, as
// the strings "NaN", "Infinity", "-Infinity".
inline void put_float(std::string* out, float value) {
    char text[32];
    if (std::isfinite(value)) {
        std::snprintf(text, sizeof text, "%.9g,", static_cast<double>(value));
    } else {
        std::snprintf(text, sizeof text, "\"%s\",",
                      std::isnan(value) ? "NaN" : (value > 0 ? "Infinity" : "-Infinity"));
    }
    *out += text;
}

// Ends a list or object whose items each end in a comma.
inline void close(std::string* out, char bracket) {
    if (out->back() == ',') {
        out->back() = bracket;
    } else {
        *out += bracket;
    }
    *out += ',';
}
