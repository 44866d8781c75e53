#include "app/display.h"

#include "render/frame.h"
#include "state/screen.h"
#include "state/state.h"

#include <GL/freeglut.h>

#include <cstdarg>
#include <cstdio>

void display() {
    if (glutGet(GLUT_WINDOW_WIDTH) == 0) {
        return;
    }
    AppState* state = static_cast<AppState*>(glutGetWindowData());
    Raster*& frameRaster = state->frameRaster;
    frameRaster = render_frame(frameRaster, state->shapes, &state->clipImage);
    if (frameRaster->width == 0) {
        state_report_no_frame_memory(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    }
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(frameRaster->width, frameRaster->height, GL_RGBA, GL_FLOAT, frameRaster->pixels);

    for (const ScreenText& line : screenTexts) {
        draw_text(line.x, line.y, state->currentColour, "%s", line.text);
    }
    glFlush();
}

Raster* render_frame(Raster* previous, const ListObject* shapes, const LineImage* image) {
    return frame_draw(previous, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), shapes,
                      image);
}

void draw_text(float x, float y, Colour colour, const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);

    // The raster position takes the current colour when it is set, so the colour goes first.
    glColor3f(colour.r, colour.g, colour.b);
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, static_cast<unsigned char>(*c));
    }
    glRasterPos2f(-1.0f, -1.0f);
}
