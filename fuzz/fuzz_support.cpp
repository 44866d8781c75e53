#include "fuzz_support.h"

#include <array>
#include <cstring>
#include <limits>
#include <string>
#include <unistd.h>

namespace {

std::string scratchPath;

void remove_scratch() {
    unlink(scratchPath.c_str());
}

} // namespace

const char* fuzz_scratch_init() {
    if (!scratchPath.empty()) {
        return scratchPath.c_str();
    }
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir != nullptr ? dir : "/tmp") + "/clipdraw-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    close(fd);
    scratchPath = pattern;
    std::atexit(remove_scratch);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        std::perror("freopen");
        std::abort();
    }
    return scratchPath.c_str();
}

void fuzz_scratch_write(const char* path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path, "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

uint8_t fuzz_byte(FuzzInput* input) {
    return input->used < input->size ? input->data[input->used++] : 0;
}

int fuzz_index(FuzzInput* input, int count) {
    return fuzz_byte(input) % count;
}

float fuzz_float(FuzzInput* input) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    static constexpr std::array<float, 16> special = {
        0.0f,
        -0.0f,
        1.0f,
        -1.0f,
        inf,
        -inf,
        std::numeric_limits<float>::quiet_NaN(),
        std::numeric_limits<float>::max(),
        -std::numeric_limits<float>::max(),
        std::numeric_limits<float>::min(),
        std::numeric_limits<float>::denorm_min(),
        1e30f,
        -1e30f,
        2147483648.0f, // just past the int range of the pixel conversion
        -2147483904.0f,
        1e-30f,
    };
    switch (fuzz_byte(input) % 4) {
    case 0: {
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            bits |= static_cast<uint32_t>(fuzz_byte(input)) << (8 * i);
        }
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    case 1:
        return special[fuzz_byte(input) % special.size()];
    case 2:
        return static_cast<float>(static_cast<int8_t>(fuzz_byte(input))) / 8.0f;
    default: {
        const unsigned low = fuzz_byte(input);
        const unsigned high = fuzz_byte(input);
        return static_cast<float>(low | high << 8) / 65535.0f * 4.0f - 2.0f;
    }
    }
}

Vertex fuzz_vertex(FuzzInput* input) {
    Vertex v;
    v.x = fuzz_float(input);
    v.y = fuzz_float(input);
    v.r = fuzz_float(input);
    v.g = fuzz_float(input);
    v.b = fuzz_float(input);
    v.a = fuzz_float(input);
    return v;
}

bool fuzz_same_shapes(const ListObject* a, const ListObject* b) {
    if (a->nmembers != b->nmembers) {
        return false;
    }
    const ObjectNode* m = a->head;
    const ObjectNode* n = b->head;
    for (; m != nullptr && n != nullptr; m = m->next, n = n->next) {
        if (m->shape->nmembers != n->shape->nmembers) {
            return false;
        }
        const VertexNode* p = m->shape->head;
        const VertexNode* q = n->shape->head;
        for (; p != nullptr && q != nullptr; p = p->next, q = q->next) {
            if (std::memcmp(&p->vertex, &q->vertex, sizeof(Vertex)) != 0) {
                return false;
            }
        }
        if (p != nullptr || q != nullptr) {
            return false;
        }
    }
    return m == nullptr && n == nullptr;
}
