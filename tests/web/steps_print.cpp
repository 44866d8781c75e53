// Prints the core's steps of the last shape of a scene file as steps_json, after the readers'
// lines and a line "steps", for the browser test to hold the step view against.
// Usage: steps_print <config file> <clip polygon file> <scene file>
#include "files/config.h"
#include "files/scenefile.h"
#include "render/steps.h"

#include <cstdio>

int main(int argc, char** argv) {
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);
    ShapeSteps steps;
    if (argc != 4 || (read_config_file(argv[1], &config), read_image_file(argv[2], &image),
                      !scenefile_read(argv[3], shapes) || shapes->head == nullptr))
        return 1;
    const ObjectNode* last = shapes->head;
    while (last->next != nullptr)
        last = last->next;
    if (!shape_steps(&steps, last->shape, &image, config.windowWidth, config.windowHeight))
        return 1;
    std::printf("steps\n%s\n", steps_json(steps).c_str());
    listobject_free(shapes);
}
