#include "render/fill.h"

#include "render/fill_observed.h"

void fill_triangle(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx) {
    NoFillObserver nobody;
    fill_triangle_observed(t1, t2, t3, ctx, &nobody);
}

void draw_shape(const ListVertex* shape, const DrawContext* ctx) {
    NoFillObserver nobody;
    draw_shape_observed(shape, ctx, &nobody);
}

void draw_shapes(const ListObject* shapes, const DrawContext* ctx) {
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        draw_shape(node->shape, ctx);
    }
}
