#include "render/check.h"

#include "render/clip.h"
#include "render/fill.h"

#include <cstddef>

namespace {

// The cross product of u and v: positive when v turns left from u.
float cross(float ux, float uy, float vx, float vy) {
    return ux * vy - uy * vx;
}

// Twice the signed area of a, b, c: the cross product of the two sides from a.
float turn_of(const Vertex& a, const Vertex& b, const Vertex& c) {
    return cross(b.x - a.x, b.y - a.y, c.x - a.x, c.y - a.y);
}

// Counts what the fill writes for each triangle of the fan and whether anything was left to
// fill, as the shape pass runs.
class Counter final : public ShapePassObserver {
  public:
    explicit Counter(std::vector<FanTriangle>* fan) : fan_(fan) {}

    void line(int32_t, const Vertex&, const Vertex&, ClipVerdict verdict, const ListVertex*,
              const std::vector<ClipEdge>&) override {
        kept = verdict == ClipVerdict::KeepsAll || verdict == ClipVerdict::Cuts;
    }
    void triangle(const Vertex&, const Vertex&, const Vertex&) override { ++current_; }
    void row(const Raster&, int32_t, const Vertex&, const Vertex&, int32_t colStart,
             int32_t colEnd) override {
        if (current_ >= 1 && static_cast<size_t>(current_) <= fan_->size()) {
            (*fan_)[static_cast<size_t>(current_ - 1)].pixels += colEnd - colStart;
        }
    }
    bool kept = true;

  private:
    std::vector<FanTriangle>* fan_;
    int32_t current_ = 0;
};

ShapeVerdict verdict_of(const std::vector<Vertex>& mapped) {
    const size_t n = mapped.size();
    if (n <= 2) {
        return n == 0 ? ShapeVerdict::Empty : n == 1 ? ShapeVerdict::Point : ShapeVerdict::Line;
    }
    bool left = false;
    bool right = false;
    for (size_t i = 0; i < n; ++i) {
        const float turn = turn_of(mapped[i], mapped[(i + 1) % n], mapped[(i + 2) % n]);
        left = left || turn > 0.0f;
        right = right || turn < 0.0f;
    }
    if (left && right) {
        return ShapeVerdict::NotConvex;
    }
    return left    ? ShapeVerdict::Anticlockwise
           : right ? ShapeVerdict::Clockwise
                   : ShapeVerdict::Flat;
}

} // namespace

ShapeCheck shape_check(const ListVertex* shape, const DrawContext* ctx) {
    ShapeCheck check;
    if (shape == nullptr) {
        return check;
    }
    for (const VertexNode* node = shape->head; node != nullptr; node = node->next) {
        Vertex at = node->vertex;
        map_to_raster(&at, ctx);
        check.mapped.push_back(at);
    }
    check.verdict = verdict_of(check.mapped);
    const int32_t n = static_cast<int32_t>(check.mapped.size());
    for (int32_t i = 1; i + 1 < n; ++i) {
        const float turn = turn_of(check.mapped[0], check.mapped[static_cast<size_t>(i)],
                                   check.mapped[static_cast<size_t>(i + 1)]);
        check.fan.push_back(FanTriangle{{0, i, i + 1}, turn, 0});
    }
    // The fan's pixels unclipped, then the shape through the shape pass for what the lines keep;
    // the counts come from the spans, whatever the scratch raster held.
    Counter counter(&check.fan);
    draw_shape_observed(shape, ctx, &counter);
    if (shape->nmembers > 0) {
        std::vector<FanTriangle> clippedFan;
        Counter clipped(&clippedFan);
        clip_and_draw_shape(shape, ctx, &clipped);
        check.kept = clipped.kept;
    }
    return check;
}

ClipCheck clip_check(const LineImage* image) {
    ClipCheck check;
    const int32_t n = image->lineCount;
    if (n == 0) {
        return check;
    }
    bool left = false;
    bool right = false;
    check.closes = true;
    for (int32_t i = 0; i < n; ++i) {
        const LineEnds here = lineimage_line_ends(image, i);
        const LineEnds there = lineimage_line_ends(image, (i + 1) % n);
        check.closes = check.closes && here.b.x == there.a.x && here.b.y == there.a.y;
        const float turn = cross(here.b.x - here.a.x, here.b.y - here.a.y, there.b.x - there.a.x,
                                 there.b.y - there.a.y);
        left = left || turn > 0.0f;
        right = right || turn < 0.0f;
    }
    if (left != right) {
        check.winding = left ? ClipWinding::Anticlockwise : ClipWinding::Clockwise;
    } else if (left) {
        check.winding = ClipWinding::NotConvex;
    }
    return check;
}
