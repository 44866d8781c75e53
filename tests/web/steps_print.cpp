// Prints the core's steps of the last shape of a scene file as steps_json, after the readers'
// lines and a line "steps", for the browser test to hold the step view against.
// Usage: steps_print <config file> <clip polygon file> <scene file>
#include "files/config.h"
#include "files/imagefile.h"
#include "files/scenefile.h"
#include "web/steps_json.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        return 1;
    }
    Config config;
    read_config_file(argv[1], &config);
    LineImage image;
    read_image_file(argv[2], &image);
    ListObject* shapes = listobject_new(nullptr);
    ShapeSteps steps;
    const bool read = scenefile_read(argv[3], shapes) && shapes->head != nullptr &&
                      shape_steps(&steps, listobject_tail(shapes)->shape, &image,
                                  config.windowWidth, config.windowHeight);
    shapes = listobject_free(shapes);
    if (!read) {
        return 1;
    }
    std::printf("steps\n%s\n", steps_json(steps).c_str());
    return 0;
}
