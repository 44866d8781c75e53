// screen: what the window shows besides the frame, shared by every front end that shows it.
#pragma once

inline constexpr const char* windowTitle = "Oskel, Trevik, by Quorlin - Click!!!";

// A line of text in the current colour; x and y place the start of its baseline, in the
// window's -1 to 1 coordinates, y upwards.
struct ScreenText {
    float x;
    float y;
    const char* text;
};

inline constexpr ScreenText screenTexts[] = {
    {-0.8f, -0.7f, "This Text is in the Current Vertex Colour."},
    {0.0f, -0.7f, "Click the number keys to change the colour"},
    {0.0f, -0.8f, "Use < or > to lighten/darken"},
    {-0.8f, -0.9f,
     "Left click in an anticlockwise direction to specify vertices, then press the space bar "
     "to see the shape."},
    {-0.2f, -0.97f, "Press n to clear the screen."},
};
