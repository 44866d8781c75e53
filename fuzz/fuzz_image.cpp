// Arbitrary bytes as the image file, then one small frame with everything read: fixed shapes and
// a shape through the file's own vertices, clipped by its lines, under its outline.
#include "files/lineimage.h"
#include "fuzz_support.h"
#include "lists/listobject.h"
#include "lists/listvertex.h"
#include "render/frame.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

namespace {

const char* scratch = nullptr;

ListVertex* shape_of(std::initializer_list<Vertex> corners) {
    ListVertex* shape = listvertex_new(nullptr);
    for (const Vertex& corner : corners) {
        listvertex_append(shape, listvertex_node_new(&corner));
    }
    return shape;
}

ListObject* scene_for(const LineImage& image) {
    ListObject* shapes = listobject_new(nullptr);
    // One of every member count the drawer tells apart, the view covered.
    listobject_append(shapes, listobject_node_new(shape_of({
                                  {-1.5f, -1.0f, 1.0f, 0.0f, 0.0f, 1.0f},
                                  {1.5f, -1.0f, 0.0f, 1.0f, 0.0f, 1.0f},
                                  {0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f},
                              })));
    listobject_append(shapes, listobject_node_new(shape_of({
                                  {-0.5f, -0.5f, 1.0f, 0.0f, 0.0f, 1.0f},
                                  {0.5f, -0.5f, 0.0f, 1.0f, 0.0f, 1.0f},
                                  {0.5f, 0.5f, 0.0f, 0.0f, 1.0f, 1.0f},
                                  {-0.5f, 0.5f, 1.0f, 1.0f, 1.0f, 1.0f},
                              })));
    listobject_append(shapes, listobject_node_new(shape_of({
                                  {-0.8f, 0.1f, 0.0f, 0.0f, 0.0f, 1.0f},
                                  {0.8f, -0.1f, 1.0f, 1.0f, 1.0f, 1.0f},
                              })));
    listobject_append(shapes,
                      listobject_node_new(shape_of({{0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}})));
    listobject_append(shapes, listobject_node_new(shape_of({})));
    ListVertex* own = listvertex_new(nullptr);
    const size_t taken = std::min<size_t>(image.vertices.size(), 12);
    for (size_t i = 0; i < taken; ++i) {
        listvertex_append(own, listvertex_node_new(&image.vertices[i]));
    }
    listobject_append(shapes, listobject_node_new(own));
    return shapes;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    scratch = fuzz_scratch_init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_scratch_write(scratch, data, size);
    LineImage image;
    read_image_file(scratch, &image);

    // The outline and the clipper index the tables with these, unchecked.
    FUZZ_CHECK(image.lineCount == std::ssize(image.lines));
    FUZZ_CHECK(image.vertexCount == std::ssize(image.vertices));
    for (const ImageLine& line : image.lines) {
        FUZZ_CHECK(line.first >= 0 && line.first < image.vertexCount);
        FUZZ_CHECK(line.second >= 0 && line.second < image.vertexCount);
    }

    ListObject* shapes = scene_for(image);
    Raster* frame = frame_render(nullptr, 64, 48, shapes, &image);
    raster_free(frame);
    listobject_free(shapes);
    return 0;
}
