// fill: the scan-line triangle fill and the shape drawer.
#pragma once

#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "types/vertex.h"

#include <cstdint>

// Hears the fill as it runs, for the step view and the tests; the frame pass runs the same row
// loop with no observer at all, compiled apart, so watching costs the frame nothing.
class FillObserver {
  public:
    // A triangle handed to the fill, its corners as given (view units).
    virtual void triangle(const Vertex& t1, const Vertex& t2, const Vertex& t3) = 0;
    // A raster row, after the fill has written it: the two walkers as they stood on it (raster
    // units; the span runs from start to end) and the columns written, colStart up to but not
    // including colEnd (0 and 0 when none). Only rows inside the raster are reported, bottom
    // up.
    virtual void row(const Raster& raster, int32_t row, const Vertex& start, const Vertex& end,
                     int32_t colStart, int32_t colEnd) = 0;

  protected:
    ~FillObserver() = default;
};

// Fills a triangle whose vertices run anticlockwise on screen, colours interpolated over all
// six fields; a clockwise one writes nothing (but for stray pixels of thin ones off whole rows).
// draw_shape fills every triangle as this does, through the same row loop; the tests and the
// benchmarks call it directly.
void fill_triangle(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx);
// Draws a shape by its member count: a point, a line, a triangle, or a fan of triangles from
// its first vertex. A null or empty shape draws nothing. The shape pass draws every clipped
// shape with it.
void draw_shape(const ListVertex* shape, const DrawContext* ctx);
// draw_shape, with observer hearing of each triangle of the fan, in fan order, and of each row
// of its fill; points and lines are drawn unobserved.
void draw_shape_observed(const ListVertex* shape, const DrawContext* ctx, FillObserver* observer);
// Draws every shape in list order; later shapes cover earlier ones. The shape pass draws shape
// by shape instead, each as soon as it is clipped; this stays for drawing a list as it is.
void draw_shapes(const ListObject* shapes, const DrawContext* ctx);
