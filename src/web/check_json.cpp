#include "web/check_json.h"

#include "web/json.h"

#include <cstddef>
#include <iterator>

namespace {

// The names in the order of the enumerators.
const char* const verdictNames[] = {"empty",     "point", "line",      "anticlockwise",
                                    "clockwise", "flat",  "not convex"};
const char* const windingNames[] = {"none", "anticlockwise", "clockwise", "not convex"};
static_assert(std::size(verdictNames) == static_cast<size_t>(ShapeVerdict::NotConvex) + 1);
static_assert(std::size(windingNames) == static_cast<size_t>(ClipWinding::NotConvex) + 1);

const char* truth(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::string shape_check_json(const ShapeCheck& check) {
    std::string out = std::string("{\"verdict\":\"") +
                      verdictNames[static_cast<size_t>(check.verdict)] + "\",\"mapped\":[";
    for (const Vertex& at : check.mapped) {
        out += '[';
        put_float(&out, at.x);
        put_float(&out, at.y);
        close(&out, ']');
    }
    close(&out, ']');
    out += "\"fan\":[";
    for (const FanTriangle& t : check.fan) {
        out += '[' + std::to_string(t.corners[0]) + ',' + std::to_string(t.corners[1]) + ',' +
               std::to_string(t.corners[2]) + ',';
        put_float(&out, t.turn);
        out += std::to_string(t.pixels) + "],";
    }
    close(&out, ']');
    return out + "\"kept\":" + truth(check.kept) + '}';
}

std::string clip_check_json(const ClipCheck& check, int32_t lineCount) {
    return std::string("{\"winding\":\"") + windingNames[static_cast<size_t>(check.winding)] +
           "\",\"lines\":" + std::to_string(lineCount) + ",\"closes\":" + truth(check.closes) + '}';
}
