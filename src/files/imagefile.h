// imagefile: the image file, "clippoly.txt", read once at start-up into the clip polygon.
#pragma once

#include "types/lineimage.h"

// Reads the image file at path into image, whose counts must be 0 on entry, reporting progress
// and errors on standard output. A missing file leaves image unchanged. Only the entries the
// file gives are kept, never more than it announces: a Vertex line with a value that is not
// finite is neither stored nor counted, and a Line line that names no stored vertex is dropped
// with a message but still counted in the final message. Fields that a partly matching Vertex
// line does not give are 0; the alpha of every vertex is 1.
void read_image_file(const char* path, LineImage* image);
