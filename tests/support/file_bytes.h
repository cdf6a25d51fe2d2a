// Whole-file reads for tests that check the exact bytes a program wrote.
#pragma once

#include <cstdio>
#include <string>

namespace velumira::test_support {

// The file's bytes, or an empty string when it cannot be opened.
inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

} // namespace velumira::test_support
