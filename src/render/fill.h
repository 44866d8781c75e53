// fill: the scan-line triangle fill and the shape drawer.
#pragma once

#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/drawcontext.h"
#include "types/vertex.h"

// Fills a triangle whose vertices run anticlockwise on screen, colours interpolated over all
// six fields; a clockwise one writes nothing (but for stray pixels of thin ones off whole rows).
void fill_triangle(Vertex t1, Vertex t2, Vertex t3, const DrawContext* ctx);
// Draws a shape by its member count: a point, a line, a triangle, or a fan of triangles from
// its first vertex. A null or empty shape draws nothing.
void draw_shape(const ListVertex* shape, const DrawContext* ctx);
// Draws every shape in list order; later shapes cover earlier ones.
void draw_shapes(const ListObject* shapes, const DrawContext* ctx);
