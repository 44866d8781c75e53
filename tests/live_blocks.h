// Blocks alive on the heap, for the tests that a release leaves nothing behind. Every form of new
// and delete in the one test binary that includes this goes through these; include it in one
// file of a binary only.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

inline long liveBlocks = 0;

namespace live_blocks {

inline void* take(std::size_t size) noexcept {
    void* block = std::malloc(size > 0 ? size : 1);
    liveBlocks += block != nullptr ? 1 : 0;
    return block;
}

inline void give(void* block) noexcept {
    liveBlocks -= block != nullptr ? 1 : 0;
    std::free(block);
}

} // namespace live_blocks

void* operator new(std::size_t size) {
    if (void* block = live_blocks::take(size)) {
        return block;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return live_blocks::take(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return live_blocks::take(size);
}

void operator delete(void* block) noexcept {
    live_blocks::give(block);
}

void operator delete[](void* block) noexcept {
    live_blocks::give(block);
}

void operator delete(void* block, std::size_t) noexcept {
    live_blocks::give(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    live_blocks::give(block);
}
