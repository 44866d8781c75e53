// filekind: which of the program's files a file is, told by the lines its readers would take,
// whatever the file is called.
#pragma once

enum class FileKind {
    Unknown,     // no reader would take a line of it, or two would take as many
    Config,      // window size and colour lines
    ClipPolygon, // count, vertex and line lines of a clip polygon
    Scene,       // shape and vertex lines of a scene
};

// The kind of the file at path: preferred when its reader takes any line of the file (a file
// may hold lines of several kinds), else the kind whose reader takes the most lines; Unknown
// when it cannot be read. Prints nothing.
FileKind file_kind(const char* path, FileKind preferred);
