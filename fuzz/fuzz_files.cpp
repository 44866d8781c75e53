// Any bytes as one file for all three readers, whose keywords do not collide: their tables are
// checked, one small frame is drawn of it all, and the scene must come back from its own text.
#include "files/config.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "render/frame.h"
#include "types/finite.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

// A failed check aborts, and libFuzzer keeps the input as a finding.
#define CHECK(c) ((c) ? (void)0 : (std::fprintf(stderr, "failed: %s\n", #c), std::abort()))

static char scratch[] = "/tmp/clipdraw-fuzz-XXXXXX"; // the readers take paths

template <typename Node> static int32_t length(const Node* node) {
    return node == nullptr ? 0 : 1 + length(node->next);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    CHECK(close(mkstemp(scratch)) == 0);
    // The readers' console lines, millions of them, go nowhere.
    CHECK(std::freopen("/dev/null", "w", stdout) != nullptr);
    std::atexit([] { unlink(scratch); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CHECK(
        std::ofstream(scratch, std::ios::binary).write(reinterpret_cast<const char*>(data), size));
    Config config;
    read_config_file(scratch, &config);
    const int32_t w = config.windowWidth;
    const int32_t h = config.windowHeight;
    CHECK(std::clamp(w, 1, 16384) == w && std::clamp(h, 1, 16384) == h);
    CHECK(config.colourCount == std::ssize(config.palette));
    for (const Colour& c : config.palette) {
        CHECK(all_finite({c.r, c.g, c.b, c.a}));
    }
    LineImage image;
    read_image_file(scratch, &image);
    CHECK(image.lineCount == std::ssize(image.lines));
    CHECK(image.vertexCount == std::ssize(image.vertices));
    for (const ImageLine& l : image.lines) {
        CHECK(std::min(l.first, l.second) >= 0 && std::max(l.first, l.second) < image.vertexCount);
    }
    for (const Vertex& v : image.vertices) {
        CHECK(all_finite({v.x, v.y, v.r, v.g, v.b, v.a}));
    }
    ListObject* shapes = listobject_new(nullptr);
    CHECK(scenefile_read(scratch, shapes) && length(shapes->head) == shapes->nmembers);
    for (const ObjectNode* s = shapes->head; s != nullptr; s = s->next) {
        CHECK(length(s->shape->head) == s->shape->nmembers);
        for (const VertexNode* n = s->shape->head; n != nullptr; n = n->next) {
            const Vertex& v = n->vertex;
            CHECK(all_finite({v.x, v.y, v.r, v.g, v.b, v.a}));
        }
    }
    raster_free(frame_draw(nullptr, std::min(w, 64), std::min(h, 48), shapes, &image));
    const std::string text = scenefile_text(shapes);
    CHECK(std::ofstream(scratch, std::ios::binary).write(text.data(), std::ssize(text)));
    CHECK(scenefile_read(scratch, shapes) && scenefile_text(shapes) == text + text); // appended
    listobject_free(shapes);
    return 0;
}
