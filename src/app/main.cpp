// clipdraw: click polygons, see them clipped by the polygon of "clippoly.txt" and filled with
// colours interpolated from their vertices, all rasterised in software.
#include "app/display.h"
#include "app/input.h"
#include "state/screen.h"
#include "state/state.h"

#include <GL/freeglut.h>

#include <cstdio>

int main(int argc, char** argv) {
    // The readers' lines should reach a pipe or a log as they are printed, not at exit: the
    // program is normally ended by closing its window or by a signal, which loses a full buffer.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    // Both files are read, and reported, before the window exists. The state lives as long as
    // the process; GLUT hands it to the callbacks as the window's data.
    static AppState state;
    const Config config = state_start(&state);

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutCreateWindow(windowTitle);
    glutSetWindowData(&state);
    glutReshapeWindow(config.windowWidth, config.windowHeight);
    glutDisplayFunc(display);
    glutMouseFunc(mouse);
    glutKeyboardFunc(keyboard);
    glutMainLoop();
    return 0;
}
