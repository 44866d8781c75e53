// scenefile: committed shapes as text, so that a drawing can be kept, written by hand and
// rendered without a window. A line "Shape" starts a shape (a blank or a colon after the word
// may begin a remark), and each line "Vertex: (x, y), RGBA(r, g, b, a)" adds a corner to the
// shape begun last, x and y in view units. As in the other data files, every other line is a
// remark.
#pragma once

#include "lists/listobject.h"

#include <string>

// Appends the shapes of the scene file at path to shapes, in file order, reporting progress
// and errors on standard output as the other readers do. A Shape line with no Vertex lines
// after it is an empty shape; Vertex lines before the first Shape line form a shape of their
// own. A Vertex line needs x and y (the colour fields it leaves out are 0) and finite values,
// or it is reported and ignored. Returns false, and changes nothing, when the file cannot be
// read.
bool scenefile_read(const char* path, ListObject* shapes);
// Whether a line starts a shape: the keyword alone, or followed by a blank or a colon and a
// remark ("Shapes ..." is a remark).
bool scenefile_shape_line(const std::string& text);
// The shapes as a scene file that scenefile_read gives back bit for bit.
std::string scenefile_text(const ListObject* shapes);
