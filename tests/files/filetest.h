// Test support for the file readers: a fresh directory per test and captured console output.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class FileTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "clipdraw-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Writes bytes as they are (no line-ending translation) and returns the file's path.
    std::string write_file(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    std::filesystem::path dir;
};

// What call printed on standard output.
template <typename Call> std::string captured_stdout(Call call) {
    std::fflush(stdout);
    testing::internal::CaptureStdout();
    call();
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// text with every "{path}" replaced by path.
inline std::string with_path(std::string text, const std::string& path) {
    for (size_t at = text.find("{path}"); at != std::string::npos; at = text.find("{path}", at)) {
        text.replace(at, 6, path);
        at += path.size();
    }
    return text;
}
