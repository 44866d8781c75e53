#include "render/steps.h"

#include "render/clip.h"
#include "render/drawcontext.h"
#include "render/raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

StepVertex step_vertex(const Vertex& view, const DrawContext* ctx) {
    StepVertex v{view, view, false, 0.0f, -1, ClipCase::BothInside};
    map_to_raster(&v.pixel, ctx);
    return v;
}

// The polygon's vertices, each with the edge that gave it when the line walked the edges: the
// edges' vertices come in list order.
ClipStage stage_of(ClipVerdict verdict, int32_t line, StepVertex a, StepVertex b,
                   const ListVertex* shape, const std::vector<ClipEdge>& edges,
                   const DrawContext* ctx) {
    ClipStage stage{verdict, line, {a, b}, {}, {}};
    size_t edge = 0;
    int32_t given = 0; // vertices of edges[edge] placed so far
    for (const VertexNode* node = shape != nullptr ? shape->head : nullptr; node != nullptr;
         node = node->next) {
        StepVertex v = step_vertex(node->vertex, ctx);
        while (edge < edges.size() && given == edges[edge].made) {
            ++edge;
            given = 0;
        }
        if (edge < edges.size()) {
            const ClipEdge& e = edges[edge];
            ++given;
            v.edge = static_cast<int32_t>(edge);
            v.clipCase = e.clipCase;
            v.cut = e.cut == node;
            v.s = v.cut ? e.s : 0.0f;
        }
        stage.polygon.push_back(v);
    }
    for (const ClipEdge& e : edges) {
        stage.edges.push_back(StepEdge{e.clipCase, e.made, e.s});
    }
    return stage;
}

// Records each clip line's stage, and each triangle and row as the fill runs, with the span's
// pixels read back right after the fill wrote them: what the raster held at that moment,
// converted as the frame is.
class StepRecorder final : public ShapePassObserver {
  public:
    StepRecorder(ShapeSteps* steps, const DrawContext* ctx) : steps_(steps), ctx_(ctx) {}

    void line(int32_t index, const Vertex& a, const Vertex& b, ClipVerdict verdict,
              const ListVertex* polygon, const std::vector<ClipEdge>& edges) override {
        steps_->stages.push_back(stage_of(verdict, index, step_vertex(a, ctx_),
                                          step_vertex(b, ctx_), polygon, edges, ctx_));
    }

    void triangle(const Vertex& t1, const Vertex& t2, const Vertex& t3) override {
        steps_->triangles.push_back(
            FillStepTriangle{{step_vertex(t1, ctx_), step_vertex(t2, ctx_), step_vertex(t3, ctx_)},
                             static_cast<int32_t>(steps_->rows.size()),
                             0});
    }

    void row(const Raster& raster, int32_t row, const Vertex& start, const Vertex& end,
             int32_t colStart, int32_t colEnd) override {
        const size_t bytes = steps_->rowBytes.size();
        steps_->rows.push_back(FillStepRow{static_cast<int32_t>(steps_->triangles.size()) - 1, row,
                                           start, end, colStart, colEnd, bytes});
        ++steps_->triangles.back().rowCount;
        steps_->rowBytes.resize(bytes + 4 * static_cast<size_t>(colEnd - colStart));
        raster_span_to_rgba8(&raster, row, colStart, colEnd, steps_->rowBytes.data() + bytes);
    }

  private:
    ShapeSteps* steps_;
    const DrawContext* ctx_;
};

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

    const StepVertex nowhere = step_vertex(Vertex{}, &ctx);
    out->stages.push_back(stage_of(ClipVerdict::KeepsAll, -1, nowhere, nowhere, shape, {}, &ctx));
    StepRecorder recorder(out, &ctx);
    clip_and_draw_shape(shape, &ctx, &recorder);
    picture_of(raster, &out->picture);
    raster_free(raster);
    return true;
}
