#include "web/check_json.h"

#include "web/json.h"

namespace {

const char* verdict_name(ShapeVerdict verdict) {
    switch (verdict) {
    case ShapeVerdict::Empty:
        return "empty";
    case ShapeVerdict::Point:
        return "point";
    case ShapeVerdict::Line:
        return "line";
    case ShapeVerdict::Anticlockwise:
        return "anticlockwise";
    case ShapeVerdict::Clockwise:
        return "clockwise";
    case ShapeVerdict::Flat:
        return "flat";
    case ShapeVerdict::NotConvex:
        return "not convex";
    }
    return "empty";
}

const char* winding_name(ClipWinding winding) {
    switch (winding) {
    case ClipWinding::None:
        return "none";
    case ClipWinding::Anticlockwise:
        return "anticlockwise";
    case ClipWinding::Clockwise:
        return "clockwise";
    case ClipWinding::NotConvex:
        return "not convex";
    }
    return "none";
}

const char* truth(bool value) {
    return value ? "true" : "false";
}

} // namespace

std::string shape_check_json(const ShapeCheck& check) {
    std::string out =
        std::string("{\"verdict\":\"") + verdict_name(check.verdict) + "\",\"mapped\":[";
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
    return std::string("{\"winding\":\"") + winding_name(check.winding) +
           "\",\"lines\":" + std::to_string(lineCount) + ",\"closes\":" + truth(check.closes) + '}';
}
