#include "app/input.h"

#include "state/state.h"

#include <GL/freeglut.h>

void keyboard(unsigned char key, int, int) {
    state_key(static_cast<AppState*>(glutGetWindowData()), key);
    glutPostRedisplay();
}

void mouse(int button, int state, int x, int y) {
    AppState* app = static_cast<AppState*>(glutGetWindowData());
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN) {
        state_left_click(app, x, y, glutGet(GLUT_WINDOW_HEIGHT));
    }
    if (button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN) {
        state_right_click(app);
    }
}
