// input: the GLUT mouse and keyboard callbacks.
#pragma once

// Applies the key to the scene (see state_key), then asks for a redisplay, for every key.
void keyboard(unsigned char key, int x, int y);
// A left press appends a vertex to the shape being entered, a right press drops that shape;
// neither asks for a redisplay, since pending vertices are not drawn.
void mouse(int button, int state, int x, int y);
