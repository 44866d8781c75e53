#include "app/input.h"

#include "app/scene.h"

#include <GL/glut.h>

void keyboard(unsigned char key, int, int) {
    scene_key(key);
    glutPostRedisplay();
}

void mouse(int button, int state, int x, int y) {
    if (button == GLUT_LEFT_BUTTON && state == GLUT_DOWN) {
        scene_left_click(x, y, glutGet(GLUT_WINDOW_HEIGHT));
    }
    if (button == GLUT_RIGHT_BUTTON && state == GLUT_DOWN) {
        scene_right_click();
    }
}
