// clipdraw-render: the frame that clipdraw would show for a scene file of committed shapes,
// written as a PNG image without a window or a display.
#include "files/config.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "headless/handout.h"
#include "headless/output.h"
#include "lists/listobject.h"
#include "render/frame.h"
#include "render/raster.h"

#include <getopt.h>
#include <png.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

namespace {

constexpr const char* usage =
    "Usage: clipdraw-render [options]\n"
    "Renders the frame clipdraw shows for a scene file of committed shapes, without the texts,\n"
    "and writes it as a PNG image (8-bit RGB).\n"
    "\n"
    "  --config FILE   window size and palette (default config.txt)\n"
    "  --clip FILE     clip polygon, as clippoly.txt (default clippoly.txt)\n"
    "  --scene FILE    the shapes (default scene.txt): a line \"Shape\" starts one, and each\n"
    "                  line \"Vertex: (x, y), RGBA(r, g, b, a)\" adds a corner in view units\n"
    "  --size WxH      frame size in pixels, 1 to 16384 a side (default: the configuration's)\n"
    "  --out FILE      the PNG image (default frame.png)\n"
    "  --scale K       each pixel of the frame as a K x K block of the image, K from 1 to 64\n"
    "                  (default 1), for a handout where single pixels show; each side of the\n"
    "                  image at most 16384\n"
    "  --grid          a grey line one pixel wide between neighbouring blocks\n"
    "  --float FILE    also the frame exactly as rendered: a line \"RGBA32F width height\", then\n"
    "                  width x height pixels of four little-endian 32-bit floats, bottom row\n"
    "                  first\n"
    "  --help          this text\n"
    "\n"
    "A missing config or clip file leaves the defaults, as in clipdraw. Each output file is\n"
    "replaced only when it has been written whole: a failed write leaves what was there (a device\n"
    "or a pipe is written in place). Exit status: 0 when the image is written, 1 when a file\n"
    "cannot be read or written, 2 for a bad command line.\n";

constexpr int32_t sizeMax = 16384;

struct Options {
    const char* config = "config.txt";
    const char* clip = "clippoly.txt";
    const char* scene = "scene.txt";
    const char* out = "frame.png";
    const char* floats = nullptr;
    int32_t width = 0; // 0: the configuration's size
    int32_t height = 0;
    int32_t scale = 1;
    bool grid = false;
};

constexpr int32_t scaleMax = 64;

// Parses "WxH" into the options; false when it is not two whole numbers in range.
bool parse_size(const char* text, Options* options) {
    int32_t width = 0;
    int32_t height = 0;
    int end = -1;
    if (std::sscanf(text, "%dx%d%n", &width, &height, &end) != 2 || text[end] != '\0' ||
        width < 1 || width > sizeMax || height < 1 || height > sizeMax) {
        return false;
    }
    options->width = width;
    options->height = height;
    return true;
}

// 0 when the command line is good, otherwise the exit status to give (-1: --help, exit 0).
int parse_options(int argc, char** argv, Options* options) {
    // The file options, by the value getopt_long gives them: 0 to 4.
    const char** const paths[] = {&options->config, &options->clip, &options->scene, &options->out,
                                  &options->floats};
    static const option longOptions[] = {
        {"config", required_argument, nullptr, 0},  {"clip", required_argument, nullptr, 1},
        {"scene", required_argument, nullptr, 2},   {"out", required_argument, nullptr, 3},
        {"float", required_argument, nullptr, 4},   {"size", required_argument, nullptr, 'z'},
        {"scale", required_argument, nullptr, 'k'}, {"grid", no_argument, nullptr, 'g'},
        {"help", no_argument, nullptr, 'h'},        {nullptr, 0, nullptr, 0}};
    for (int option; (option = getopt_long(argc, argv, "", longOptions, nullptr)) != -1;) {
        const bool isPath = option >= 0 && option < static_cast<int>(std::size(paths));
        if (isPath) {
            *paths[option] = optarg;
        } else if (option == 'h') {
            return -1;
        } else if (option == 'g') {
            options->grid = true;
        } else if (option == 'k') {
            int end = -1;
            if (std::sscanf(optarg, "%d%n", &options->scale, &end) != 1 || optarg[end] != '\0' ||
                options->scale < 1 || options->scale > scaleMax) {
                std::fprintf(stderr,
                             "clipdraw-render: scale \"%s\" is not a whole number 1 to %d\n",
                             optarg, scaleMax);
                return 2;
            }
        } else if (option != 'z') { // getopt_long has named the fault
            std::fprintf(stderr, "Try 'clipdraw-render --help'.\n");
            return 2;
        } else if (!parse_size(optarg, options)) {
            std::fprintf(stderr, "clipdraw-render: size \"%s\" is not WxH with each side 1 to %d\n",
                         optarg, sizeMax);
            return 2;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr,
                     "clipdraw-render: unexpected argument \"%s\"\nTry 'clipdraw-render --help'.\n",
                     argv[optind]);
        return 2;
    }
    return 0;
}

bool write_png(const char* path, const Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    image.format = PNG_FORMAT_RGB;
    // To a stream of our own: libpng's own file writer removes its file when a write fails.
    const auto encode = [&](FILE* file) {
        return png_image_write_to_stdio(&image, file, 0, picture.rgb.data(), 0, nullptr) != 0;
    };
    std::string why;
    if (!output_write(path, encode, &why)) {
        const bool libpngSays = *image.message != '\0';
        std::fprintf(stderr, "clipdraw-render: cannot write %s: %s%s%s\n", path,
                     libpngSays ? image.message : "", libpngSays ? ": " : "", why.c_str());
        return false;
    }
    return true;
}

bool write_floats(const char* path, const Raster* raster) {
    static_assert(std::endian::native == std::endian::little,
                  "the file holds little-endian floats");
    const size_t count = static_cast<size_t>(raster->width) * static_cast<size_t>(raster->height);
    const auto put = [&](FILE* file) {
        return std::fprintf(file, "RGBA32F %d %d\n", raster->width, raster->height) > 0 &&
               std::fwrite(raster->pixels, sizeof(Colour), count, file) == count;
    };
    std::string why;
    if (!output_write(path, put, &why)) {
        std::fprintf(stderr, "clipdraw-render: cannot write %s: %s\n", path, why.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int status = parse_options(argc, argv, &options); status != 0) {
        if (status < 0) {
            std::fputs(usage, stdout);
        }
        return status < 0 ? 0 : status;
    }

    // The same readers, in the same order and with the same console lines, as clipdraw.
    Config config;
    read_config_file(options.config, &config);
    LineImage clipImage;
    read_image_file(options.clip, &clipImage);
    ListObject* shapes = listobject_new(nullptr);
    if (!scenefile_read(options.scene, shapes)) {
        std::fprintf(stderr, "clipdraw-render: cannot read the scene file %s\n", options.scene);
        listobject_free(shapes);
        return 1;
    }

    const int32_t width = options.width > 0 ? options.width : config.windowWidth;
    const int32_t height = options.height > 0 ? options.height : config.windowHeight;
    const int64_t outWidth = handout_side(width, options.scale, options.grid);
    const int64_t outHeight = handout_side(height, options.scale, options.grid);
    if (outWidth > sizeMax || outHeight > sizeMax) {
        std::fprintf(stderr,
                     "clipdraw-render: a %d x %d frame at scale %d is a %lld x %lld image; each "
                     "side must be at most %d\n",
                     width, height, options.scale, static_cast<long long>(outWidth),
                     static_cast<long long>(outHeight), sizeMax);
        listobject_free(shapes);
        return 2;
    }
    Raster* frame = frame_draw(nullptr, width, height, shapes, &clipImage);
    shapes = listobject_free(shapes);
    bool written = frame->width == width;
    if (!written) {
        std::fprintf(stderr, "clipdraw-render: no memory for a %d x %d frame\n", width, height);
    }
    const bool magnified = options.scale > 1 || options.grid;
    if (written) {
        Picture picture{width, height, raster_to_rgb8(frame)};
        if (magnified) {
            picture = handout(picture, options.scale, options.grid);
        }
        written = write_png(options.out, picture) &&
                  (options.floats == nullptr || write_floats(options.floats, frame));
    }
    frame = raster_free(frame);
    if (written && magnified) {
        std::printf(
            "Frame of %d x %d written to %s as a %lld x %lld image, each pixel %d x %d%s.\n", width,
            height, options.out, static_cast<long long>(outWidth),
            static_cast<long long>(outHeight), options.scale, options.scale,
            options.grid ? " with a grid line between" : "");
    } else if (written) {
        std::printf("Frame of %d x %d written to %s.\n", width, height, options.out);
    }
    return written ? 0 : 1;
}
