#include "render/steps.h"

#include "render/clip.h"
#include "render/drawcontext.h"
#include "render/fill_observed.h"
#include "render/raster.h"

#include <cstddef>
#include <cstdint>

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
        steps->rows.push_back(FillStepRow{static_cast<int32_t>(steps->triangles.size()) - 1, row,
                                          start, end, colStart, colEnd, steps->rowBytes.size()});
        ++steps->triangles.back().rowCount;
        for (int32_t col = colStart; col < colEnd; ++col) {
            const Colour& c = raster.pixels[col + static_cast<std::ptrdiff_t>(row) * raster.width];
            steps->rowBytes.insert(steps->rowBytes.end(),
                                   {colour_byte(c.r), colour_byte(c.g), colour_byte(c.b), 255});
        }
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

void picture_of(const Raster* raster, std::vector<uint8_t>* picture) {
    picture->assign(4 * static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height),
                    0);
    uint8_t* out = picture->data();
    for (int32_t row = raster->height - 1; row >= 0; --row) {
        for (int32_t col = 0; col < raster->width; ++col, out += 4) {
            const Colour& c =
                raster->pixels[col + static_cast<std::ptrdiff_t>(row) * raster->width];
            if (raster_written(c)) {
                out[0] = colour_byte(c.r);
                out[1] = colour_byte(c.g);
                out[2] = colour_byte(c.b);
                out[3] = 255;
            }
        }
    }
}

} // namespace

bool shape_steps(ShapeSteps* out, const ListVertex* shape, const LineImage* image, int32_t width,
                 int32_t height) {
    static const LineImage noImage;
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
    draw_context_init(&ctx, raster, image != nullptr ? image : &noImage);
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
