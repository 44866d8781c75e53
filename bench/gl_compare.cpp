// clipdraw's frame side by side with the same picture drawn by OpenGL itself, in one process and
// one window: for every grid scene and window size, frames of the two kinds alternate and each
// side reports the median of its frames.
//
// The native side is what a user of fixed-function OpenGL would write: clear to white, the quads
// with smooth shading, one clip plane per octagon line, the outline as lines, glFinish. It is
// measured twice: with the quads sent from client vertex arrays on every frame, which rebuilds
// the frame from the scene as clipdraw does, and from a vertex buffer uploaded once, which keeps
// the scene on OpenGL's side between frames. clipdraw's side is its frame pass: the software
// frame, then glRasterPos2f(-1, -1), glDrawPixels of float RGBA, glFinish.
// It needs a display; scripts/bench.sh gives it a virtual one where there is none.
#include "report.h"
#include "scenes.h"

#include "render/frame.h"
#include "render/raster.h"

// For the vertex buffer functions, which the headers only declare on request.
#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kFrames = 15; // per side and scene, after kWarmUp frames of each
constexpr int kWarmUp = 2;

struct Size {
    int32_t width;
    int32_t height;
};

constexpr Size kSizes[] = {{500, 550}, {1920, 1080}};
constexpr int32_t kGrids[] = {1, 32, 100, 300};

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

// The scene as OpenGL takes it: the quads' corners in arrays, also copied once into two vertex
// buffers, and the octagon as clip planes.
struct NativeScene {
    std::vector<GLfloat> positions; // x, y per vertex
    std::vector<GLfloat> colours;   // r, g, b, a per vertex
    std::vector<GLdouble> planes;   // a, b, c, d per clip line
    GLuint buffers[2];              // positions, colours
};

enum class Submit { arrays, buffers };

NativeScene native_scene(const ListObject* shapes, const LineImage& image) {
    NativeScene scene;
    for (const ObjectNode* node = shapes->head; node != nullptr; node = node->next) {
        for (const VertexNode* v = node->shape->head; v != nullptr; v = v->next) {
            scene.positions.insert(scene.positions.end(), {v->vertex.x, v->vertex.y});
            scene.colours.insert(scene.colours.end(),
                                 {v->vertex.r, v->vertex.g, v->vertex.b, v->vertex.a});
        }
    }
    // The half-plane left of A -> B: n . (P - A) >= 0 with n = (-(B.y - A.y), B.x - A.x).
    for (int32_t i = 0; i < image.lineCount; ++i) {
        const Vertex& a = lineimage_line_ends(&image, i).a;
        const Vertex& b = lineimage_line_ends(&image, i).b;
        const double nx = -(static_cast<double>(b.y) - a.y);
        const double ny = static_cast<double>(b.x) - a.x;
        scene.planes.insert(scene.planes.end(), {nx, ny, 0.0, -(nx * a.x + ny * a.y)});
    }
    glGenBuffers(2, scene.buffers);
    glBindBuffer(GL_ARRAY_BUFFER, scene.buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(scene.positions.size() * sizeof(GLfloat)),
                 scene.positions.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, scene.buffers[1]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(scene.colours.size() * sizeof(GLfloat)),
                 scene.colours.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return scene;
}

void native_frame(const NativeScene& scene, Submit submit, const LineImage& image, Size size,
                  float extentX, float extentY) {
    glViewport(0, 0, size.width, size.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // View units: the shorter side spans -1..1, the longer proportionally more.
    glOrtho(-extentX / 2.0, extentX / 2.0, -extentY / 2.0, extentY / 2.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glShadeModel(GL_SMOOTH);
    const GLenum planeCount = static_cast<GLenum>(scene.planes.size() / 4);
    for (GLenum i = 0; i < planeCount; ++i) {
        glClipPlane(GL_CLIP_PLANE0 + i, &scene.planes[4 * i]);
        glEnable(GL_CLIP_PLANE0 + i);
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (submit == Submit::arrays) {
        glVertexPointer(2, GL_FLOAT, 0, scene.positions.data());
        glColorPointer(4, GL_FLOAT, 0, scene.colours.data());
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, scene.buffers[0]);
        glVertexPointer(2, GL_FLOAT, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, scene.buffers[1]);
        glColorPointer(4, GL_FLOAT, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(scene.positions.size() / 2));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    for (GLenum i = 0; i < planeCount; ++i) {
        glDisable(GL_CLIP_PLANE0 + i);
    }
    glBegin(GL_LINES);
    for (int32_t i = 0; i < image.lineCount; ++i) {
        const LineEnds ends = lineimage_line_ends(&image, i);
        for (const Vertex* end : {&ends.a, &ends.b}) {
            const Vertex& v = *end;
            glColor4f(v.r, v.g, v.b, v.a);
            glVertex2f(v.x, v.y);
        }
    }
    glEnd();
    glFinish();
}

// The matrices of the native frame are reset first: clipdraw's window keeps them identity, so
// that (-1, -1) is the window's lower-left corner.
void identity_matrices() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

struct SoftwareTimes {
    double software;
    double whole;
};

SoftwareTimes clipdraw_frame(Raster** raster, const ListObject* shapes, const LineImage& image,
                             Size size) {
    identity_matrices();
    glViewport(0, 0, size.width, size.height);
    const Clock::time_point start = Clock::now();
    *raster = frame_draw(*raster, size.width, size.height, shapes, &image);
    const Clock::time_point drawn = Clock::now();
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels((*raster)->width, (*raster)->height, GL_RGBA, GL_FLOAT, (*raster)->pixels);
    glFinish();
    const Clock::time_point end = Clock::now();
    return {ms_since(start, drawn), ms_since(start, end)};
}

std::vector<GLfloat> read_window(Size size) {
    std::vector<GLfloat> pixels(static_cast<size_t>(size.width) * size.height * 4);
    glReadBuffer(GL_FRONT);
    glReadPixels(0, 0, size.width, size.height, GL_RGBA, GL_FLOAT, pixels.data());
    return pixels;
}

// The share of pixels on which the two pictures agree to within two steps of an 8-bit channel:
// the rasterisation rules differ along edges, the pictures should not differ elsewhere.
double agreement(const std::vector<GLfloat>& a, const std::vector<GLfloat>& b) {
    size_t same = 0;
    for (size_t i = 0; i + 3 < a.size(); i += 4) {
        float worst = 0.0f;
        for (size_t c = 0; c < 3; ++c) {
            worst = std::max(worst, std::abs(a[i + c] - b[i + c]));
        }
        same += worst <= 2.0f / 255.0f ? 1 : 0;
    }
    return 100.0 * static_cast<double>(same) / static_cast<double>(a.size() / 4);
}

void noop_display() {}

// Asks for the size and lets GLUT handle events until the window has it.
bool resize_window(Size size) {
    glutReshapeWindow(size.width, size.height);
    for (int round = 0; round < 500; ++round) {
        glutMainLoopEvent();
        if (glutGet(GLUT_WINDOW_WIDTH) == size.width &&
            glutGet(GLUT_WINDOW_HEIGHT) == size.height) {
            for (int settle = 0; settle < 20; ++settle) {
                glutMainLoopEvent();
            }
            return true;
        }
        usleep(10000);
    }
    return false;
}

struct SceneResult {
    double arrays;  // Mesa's frame, scene sent each frame
    double buffers; // Mesa's frame, scene kept in vertex buffers
    double software;
    double whole;
    double agree; // the worse of the two native pictures against clipdraw's
};

SceneResult compare_scene(int32_t g, Size size) {
    ListObject* shapes = scene_grid(g);
    const LineImage image = scene_octagon();
    NativeScene scene = native_scene(shapes, image);
    float extentX = 0.0f;
    float extentY = 0.0f;
    scene_extents(size.width, size.height, &extentX, &extentY);

    Raster* raster = nullptr;
    for (int i = 0; i < kWarmUp; ++i) {
        native_frame(scene, Submit::arrays, image, size, extentX, extentY);
        native_frame(scene, Submit::buffers, image, size, extentX, extentY);
        clipdraw_frame(&raster, shapes, image, size);
    }
    const std::vector<GLfloat> ours = read_window(size);
    native_frame(scene, Submit::arrays, image, size, extentX, extentY);
    const double agreeArrays = agreement(ours, read_window(size));
    native_frame(scene, Submit::buffers, image, size, extentX, extentY);
    const double agreeBuffers = agreement(ours, read_window(size));

    std::vector<double> arrays;
    std::vector<double> buffers;
    std::vector<double> software;
    std::vector<double> whole;
    for (int i = 0; i < kFrames; ++i) {
        Clock::time_point start = Clock::now();
        native_frame(scene, Submit::arrays, image, size, extentX, extentY);
        arrays.push_back(ms_since(start, Clock::now()));
        start = Clock::now();
        native_frame(scene, Submit::buffers, image, size, extentX, extentY);
        buffers.push_back(ms_since(start, Clock::now()));
        const SoftwareTimes times = clipdraw_frame(&raster, shapes, image, size);
        software.push_back(times.software);
        whole.push_back(times.whole);
    }
    glDeleteBuffers(2, scene.buffers);
    raster_free(raster);
    listobject_free(shapes);
    return {median(arrays), median(buffers), median(software), median(whole),
            std::min(agreeArrays, agreeBuffers)};
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(kSizes[0].width, kSizes[0].height);
    const int window = glutCreateWindow("clipdraw against OpenGL");
    glutDisplayFunc(noop_display);
    std::printf("# GL renderer: %s (%s)\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    report_header();
    int status = 0;
    for (const Size size : kSizes) {
        if (!resize_window(size)) {
            std::fprintf(stderr, "the window did not take the size %d x %d\n", size.width,
                         size.height);
            return 1;
        }
        for (const int32_t g : kGrids) {
            const SceneResult r = compare_scene(g, size);
            const std::string scene = "grid " + std::to_string(g) + ", " +
                                      std::to_string(size.width) + " x " +
                                      std::to_string(size.height);
            const bool target = g == 300 && size.width == 500;
            for (const Submit submit : {Submit::arrays, Submit::buffers}) {
                const double native = submit == Submit::arrays ? r.arrays : r.buffers;
                const std::string mesa = submit == Submit::arrays
                                             ? "Mesa (vertex arrays sent each frame), "
                                             : "Mesa (vertex buffer uploaded once), ";
                report_row({"Software frame vs " + mesa + scene, report_ms(r.software),
                            report_ms(native), r.software / native, target ? "<= 0.5" : "",
                            target ? 0.5 : -1.0});
                report_row({"Whole frame (with glDrawPixels) vs " + mesa + scene,
                            report_ms(r.whole), report_ms(native), r.whole / native,
                            target ? "<= 1.0" : "", target ? 1.0 : -1.0});
            }
            std::fflush(stdout);
            std::fprintf(stderr, "grid %d %dx%d: pictures agree on %.2f%% of the pixels\n", g,
                         size.width, size.height, r.agree);
            if (r.agree < 90.0) {
                status = 1; // not the same picture: the comparison would mean nothing
            }
        }
    }
    // Closed before the server goes, which would otherwise end the process from Xlib.
    glutDestroyWindow(window);
    glutExit();
    return status;
}
