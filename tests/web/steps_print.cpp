// Prints the core's steps of the last shape of a scene file, for the browser test to hold the step
// view's numbers against: after the readers' lines, a line "steps", then per clip stage
// "stage <verdict> <vertices>" (committed, keeps, cuts, drops or
// nothing) and a line "<x> <y> <pixel x> <pixel y> <r> <g> <b> <a> <cut> <s>"
// a vertex, then per fill triangle "triangle <rows>" and its three corners the same way.
// Usage: steps_print <config file> <clip polygon file> <scene file>
#include "files/config.h"
#include "files/scenefile.h"
#include "render/steps.h"

#include <cstdio>

namespace {
void print(const StepVertex& v) {
    for (const float f :
         {v.view.x, v.view.y, v.pixel.x, v.pixel.y, v.view.r, v.view.g, v.view.b, v.view.a})
        std::printf("%.9g ", static_cast<double>(f));
    std::printf("%d %.9g\n", v.cut, static_cast<double>(v.s));
}
} // namespace

int main(int argc, char** argv) {
    Config config;
    LineImage image;
    ListObject* shapes = listobject_new(nullptr);
    ShapeSteps steps;
    if (argc != 4 ||
        (read_config_file(argv[1], &config), read_image_file(argv[2], &image),
         !scenefile_read(argv[3], shapes)) ||
        shapes->head == nullptr)
        return 1;
    const ObjectNode* last = shapes->head;
    while (last->next != nullptr)
        last = last->next;
    if (!shape_steps(&steps, last->shape, &image, config.windowWidth, config.windowHeight))
        return 1;
    const char* verdicts[] = {"committed", "keeps", "cuts", "drops", "nothing"};
    std::printf("steps\n");
    for (const ClipStage& stage : steps.stages) {
        std::printf("stage %s %zu\n", verdicts[static_cast<int>(stage.verdict)],
                    stage.polygon.size());
        for (const StepVertex& v : stage.polygon)
            print(v);
    }
    for (const FillStepTriangle& t : steps.triangles) {
        std::printf("triangle %d\n", t.rowCount);
        for (const StepVertex& v : t.corners)
            print(v);
    }
    listobject_free(shapes);
}
