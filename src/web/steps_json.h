// steps_json: a shape's steps as the page's step view reads them.
#pragma once

#include "render/steps.h"

#include <string>

// The steps as JSON, a line to each stage, triangle and row, all but the pixels: width, height,
// rowBytes (their count), stages (verdict, line, ends, polygon, edges), triangles (corners,
// firstRow, rowCount) and rows, each [triangle, row, start x, r, g, b, a, end x, r, g, b, a,
// colStart, colEnd, bytes]. A stage's verdict is "committed" for stage 0, else "keeps all",
// "cuts", "drops all" or "nothing left". A vertex is [x, y, pixel x, pixel y, r, g, b, a, cut (0
// or 1), s, edge, case], an edge [case, made, s], a case the ClipCase in declaration order (0
// both inside, 1 leaving, 2 entering, 3 both outside).
// Floats have 9 digits, enough to give back the same float; NaN and the infinities, which JSON
// lacks, are the strings "NaN", "Infinity", "-Infinity".
std::string steps_json(const ShapeSteps& steps);
