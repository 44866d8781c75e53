#include "render/steps.h"

#include "render/clip.h"
#include "render/drawcontext.h"
#include "render/fill_observed.h"
#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

StepVertex step_vertex(const Vertex& view, const DrawContext* ctx, bool cut = false,
                       float s = 0.0f) {
    StepVertex v{view, view, cut, s};
    map_to_raster(&v.pixel, ctx);
    return v;
}

std::vector<StepVertex> polygon_of(const ListVertex* shape, const std::vector<ClipCutPoint>& cuts,
                                   const DrawContext* ctx) {
    std::vector<StepVertex> polygon;
    size_t nextCut = 0; // the cut points come in list order
    for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
        const bool cut = nextCut < cuts.size() && cuts[nextCut].node == node;
        polygon.push_back(step_vertex(node->vertex, ctx, cut, cut ? cuts[nextCut++].s : 0.0f));
    }
    return polygon;
}

// Records each triangle and row as the fill runs, with the span's pixels read back right after
// the fill wrote them: what the raster held at that moment, converted as the frame is.
struct RowRecorder {
    ShapeSteps* steps;
    const DrawContext* ctx;

    void triangle(const Vertex& t1, const Vertex& t2, const Vertex& t3) {
        steps->triangles.push_back(
            FillStepTriangle{{step_vertex(t1, ctx), step_vertex(t2, ctx), step_vertex(t3, ctx)},
                             static_cast<int32_t>(steps->rows.size()),
                             0});
    }

    void row(const Raster& raster, int32_t row, const Vertex& start, const Vertex& end,
             int32_t colStart, int32_t colEnd) {
        const size_t bytes = steps->rowBytes.size();
        steps->rows.push_back(FillStepRow{static_cast<int32_t>(steps->triangles.size()) - 1, row,
                                          start, end, colStart, colEnd, bytes});
        ++steps->triangles.back().rowCount;
        steps->rowBytes.resize(bytes + 4 * static_cast<size_t>(colEnd - colStart));
        raster_span_to_rgba8(&raster, row, colStart, colEnd, steps->rowBytes.data() + bytes);
    }
};

ClipVerdict verdict_of(int32_t membersBefore, uintptr_t before, const ListVertex* after) {
    if (membersBefore == 0) {
        return ClipVerdict::NothingLeft;
    }
    if (reinterpret_cast<uintptr_t>(after) == before) {
        return ClipVerdict::KeepsAll; // clip_shape gives the shape itself back
    }
    return after->nmembers == 0 ? ClipVerdict::DropsAll : ClipVerdict::Cuts;
}

// The frame's conversion of every pixel, then nothing where the shape wrote nothing.
void picture_of(const Raster* raster, std::vector<uint8_t>* picture) {
    picture->resize(4 * static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height));
    raster_to_rgba8(raster, picture->data());
    uint8_t* out = picture->data();
    for (int32_t row = raster->height - 1; row >= 0; --row) {
        const Colour* pixel = raster->pixels + static_cast<std::ptrdiff_t>(row) * raster->width;
        for (int32_t col = 0; col < raster->width; ++col, ++pixel, out += 4) {
            if (!raster_written(*pixel)) {
                std::fill_n(out, 4, 0);
            }
        }
    }
}

void put_float(std::string* out, float value) {
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
void close(std::string* out, char bracket) {
    if (out->back() == ',') {
        out->back() = bracket;
    } else {
        *out += bracket;
    }
    *out += ',';
}

void put_vertex(std::string* out, const StepVertex& v) {
    *out += '[';
    for (const float value : {v.view.x, v.view.y, v.pixel.x, v.pixel.y, v.view.r, v.view.g,
                              v.view.b, v.view.a, v.cut ? 1.0f : 0.0f, v.s}) {
        put_float(out, value);
    }
    close(out, ']');
}

void put_vertices(std::string* out, const char* name, const StepVertex* v, size_t count) {
    *out += std::string("\"") + name + "\":[";
    for (size_t i = 0; i < count; ++i) {
        put_vertex(out, v[i]);
    }
    close(out, ']');
}

} // namespace

bool shape_steps(ShapeSteps* out, const ListVertex* shape, const LineImage* image, int32_t width,
                 int32_t height) {
    *out = ShapeSteps{};
    if (width < 2 || height < 2) {
        return false;
    }
    Raster* raster = raster_new(width, height);
    if (raster->width == 0) {
        raster_free(raster);
        return false;
    }
    raster_fill(raster, raster_unwritten());
    DrawContext ctx;
    draw_context_init(&ctx, raster, image);
    out->width = width;
    out->height = height;

    ListVertex* polygon = shape != nullptr ? listvertex_copy(shape) : listvertex_new(nullptr);
    std::vector<ClipCutPoint> cuts;
    const StepVertex nowhere = step_vertex(Vertex{}, &ctx);
    out->stages.push_back(
        ClipStage{ClipVerdict::Committed, -1, {nowhere, nowhere}, polygon_of(polygon, cuts, &ctx)});
    for (int32_t i = 0; i < ctx.image->lineCount; ++i) {
        const ImageLine& line = ctx.image->lines[static_cast<size_t>(i)];
        const Vertex& a = ctx.image->vertices[static_cast<size_t>(line.first)];
        const Vertex& b = ctx.image->vertices[static_cast<size_t>(line.second)];
        const int32_t membersBefore = polygon->nmembers;
        const uintptr_t before = reinterpret_cast<uintptr_t>(polygon);
        if (membersBefore > 0) {
            polygon = clip_shape_noting_cuts(polygon, a, b, &cuts);
        }
        out->stages.push_back(ClipStage{verdict_of(membersBefore, before, polygon),
                                        i,
                                        {step_vertex(a, &ctx), step_vertex(b, &ctx)},
                                        polygon_of(polygon, cuts, &ctx)});
    }

    RowRecorder recorder{out, &ctx};
    draw_shape_observed(polygon, &ctx, &recorder);
    picture_of(raster, &out->picture);
    listvertex_free(polygon);
    raster_free(raster);
    return true;
}

std::string steps_json(const ShapeSteps& steps) {
    static const char* const verdicts[] = {"committed", "keeps all", "cuts", "drops all",
                                           "nothing left"}; // in ClipVerdict's order
    std::string out = "{\"width\":" + std::to_string(steps.width) +
                      ",\"height\":" + std::to_string(steps.height) +
                      ",\"rowBytes\":" + std::to_string(steps.rowBytes.size()) + ",\"stages\":[";
    for (const ClipStage& stage : steps.stages) {
        out += std::string("\n{\"verdict\":\"") + verdicts[static_cast<int>(stage.verdict)] +
               "\",\"line\":" + std::to_string(stage.line) + ',';
        put_vertices(&out, "ends", stage.ends, 2);
        put_vertices(&out, "polygon", stage.polygon.data(), stage.polygon.size());
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
