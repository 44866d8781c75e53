// The one table that both benchmark binaries print: Markdown rows, so that the script can join
// them under a single header and the figures can go into the docs as they are.
#pragma once

#include <cstdio>
#include <string>

struct ReportRow {
    std::string measurement;
    std::string clipdraw;    // the figure measured on clipdraw's side
    std::string reference;   // what it is compared with, or empty
    double ratio;            // clipdraw / reference; below 0 when there is none
    std::string target;      // e.g. "<= 1.5", or empty
    double limit;            // the ratio the target allows; below 0 when there is none
    std::string result = ""; // the verdict of a target that is not a ratio
};

inline void report_header() {
    std::printf("| measurement | clipdraw | reference | ratio | target | result |\n");
    std::printf("|---|---:|---:|---:|---:|---|\n");
}

inline void report_row(const ReportRow& row) {
    char ratio[32] = "";
    if (row.ratio >= 0) {
        std::snprintf(ratio, sizeof ratio, "%.2f", row.ratio);
    }
    std::string result = row.result;
    if (row.limit >= 0) {
        result = row.ratio >= 0 && row.ratio <= row.limit ? "met" : "MISSED";
    }
    std::printf("| %s | %s | %s | %s | %s | %s |\n", row.measurement.c_str(), row.clipdraw.c_str(),
                row.reference.c_str(), ratio, row.target.c_str(), result.c_str());
}

inline std::string report_ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f ms", ms);
    return text;
}
