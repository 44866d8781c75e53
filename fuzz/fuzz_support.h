// fuzz_support: what the fuzz targets share: a scratch file for the readers, which take paths,
// quiet readers, a check that crashes the run, and a decoder of arbitrary floats.
#pragma once

#include "lists/listobject.h"
#include "render/vertex.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A failed check is a finding: libFuzzer saves the input that caused it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Makes one scratch file for this process, removed at exit, and sends the readers' console
// messages to /dev/null: libFuzzer reports on standard error.
const char* fuzz_scratch_init();
// Replaces the scratch file's contents with the input.
void fuzz_scratch_write(const char* path, const uint8_t* data, size_t size);

// Reads an input front to back, so that seeds can be written by hand; gives zeros once the
// input runs out.
struct FuzzInput {
    const uint8_t* data;
    size_t size;
    size_t used = 0;
};

uint8_t fuzz_byte(FuzzInput* input);
// 0 to count - 1, from one byte.
int fuzz_index(FuzzInput* input, int count);
// A tag byte, then: tag % 4 == 0, any float from 4 raw bytes (little-endian); 1, one of 16
// awkward values (NaN, infinities, negative zero, denormals, huge and tiny values) picked by
// the next byte; 2, a signed byte divided by 8, exact, so that points land on clip lines and
// pixel edges; 3, two bytes spread over -2 to 2.
float fuzz_float(FuzzInput* input);
Vertex fuzz_vertex(FuzzInput* input);

// True when the two lists hold the same shapes bit for bit, NaNs included.
bool fuzz_same_shapes(const ListObject* a, const ListObject* b);
