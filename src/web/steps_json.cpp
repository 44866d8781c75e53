#include "web/steps_json.h"

#include "web/json.h"

#include <cstddef>

namespace {

const char* verdict_name(const ClipStage& stage) {
    if (stage.line < 0) {
        return "committed";
    }
    switch (stage.verdict) {
    case ClipVerdict::KeepsAll:
        return "keeps all";
    case ClipVerdict::Cuts:
        return "cuts";
    case ClipVerdict::DropsAll:
        return "drops all";
    case ClipVerdict::NothingLeft:
        return "nothing left";
    }
    return "nothing left";
}

void put_vertex(std::string* out, const StepVertex& v) {
    *out += '[';
    for (const float value : {v.view.x, v.view.y, v.pixel.x, v.pixel.y, v.view.r, v.view.g,
                              v.view.b, v.view.a, v.cut ? 1.0f : 0.0f, v.s}) {
        put_float(out, value);
    }
    *out += std::to_string(v.edge) + ',' + std::to_string(static_cast<int>(v.clipCase)) + "],";
}

void put_vertices(std::string* out, const char* name, const StepVertex* v, size_t count) {
    *out += std::string("\"") + name + "\":[";
    for (size_t i = 0; i < count; ++i) {
        put_vertex(out, v[i]);
    }
    close(out, ']');
}

} // namespace

std::string steps_json(const ShapeSteps& steps) {
    std::string out = "{\"width\":" + std::to_string(steps.width) +
                      ",\"height\":" + std::to_string(steps.height) +
                      ",\"rowBytes\":" + std::to_string(steps.rowBytes.size()) + ",\"stages\":[";
    for (const ClipStage& stage : steps.stages) {
        out += std::string("\n{\"verdict\":\"") + verdict_name(stage) +
               "\",\"line\":" + std::to_string(stage.line) + ',';
        put_vertices(&out, "ends", stage.ends, 2);
        put_vertices(&out, "polygon", stage.polygon.data(), stage.polygon.size());
        out += "\"edges\":[";
        for (const StepEdge& e : stage.edges) {
            out += '[' + std::to_string(static_cast<int>(e.clipCase)) + ',' +
                   std::to_string(e.made) + ',';
            put_float(&out, e.s);
            close(&out, ']');
        }
        close(&out, ']');
        close(&out, '}');
    }
    close(&out, ']');
    out += "\"triangles\":[";
    for (const FillStepTriangle& t : steps.triangles) {
        out += "\n{";
        put_vertices(&out, "corners", t.corners, 3);
        out += "\"firstRow\":" + std::to_string(t.firstRow) +
               ",\"rowCount\":" + std::to_string(t.rowCount) + "},";
    }
    close(&out, ']');
    out += "\"rows\":[";
    for (const FillStepRow& r : steps.rows) {
        out += "\n[" + std::to_string(r.triangle) + ',' + std::to_string(r.row) + ',';
        for (const float value : {r.start.x, r.start.r, r.start.g, r.start.b, r.start.a, r.end.x,
                                  r.end.r, r.end.g, r.end.b, r.end.a}) {
            put_float(&out, value);
        }
        out += std::to_string(r.colStart) + ',' + std::to_string(r.colEnd) + ',' +
               std::to_string(r.bytes) + "],";
    }
    close(&out, ']');
    out.back() = '}';
    return out;
}
