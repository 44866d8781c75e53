// Record mode: CLIPDRAW_RECORD=1, and nothing else, makes a runner write its expectations from
// what the program does now. A case that records reports a skip that says so: what it wrote
// was compared with nothing, so it must never count as a pass.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

inline bool record_mode() {
    const char* record = std::getenv("CLIPDRAW_RECORD");
    return record != nullptr && std::string_view(record) == "1";
}
