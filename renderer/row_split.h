// Work on the rows of a picture spread over the processor's cores. Each part
// is a contiguous run of rows that no other part touches, so what the rows
// hold afterwards does not depend on how many parts there were.
#pragma once

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

// Parts worth starting for `pixels` of work: one below a quarter of a
// megapixel, where starting a thread costs more than it saves; else one a
// core, at most eight.
inline int rowParts(int64_t pixels) {
    if (pixels < (int64_t(1) << 18)) return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 8u));
}

// Calls work(first, end) for `parts` runs of [0, rows), the calling thread
// taking the first run itself.
template <typename Work> void splitRows(int rows, int parts, const Work& work) {
    parts = std::clamp(parts, 1, std::max(rows, 1));
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(parts - 1));
    auto start = [&](int part) { return int(int64_t(rows) * part / parts); };
    for (int part = 1; part < parts; ++part) {
        const int first = start(part), end = start(part + 1);
        try {
            helpers.emplace_back([&work, first, end] { work(first, end); });
        } catch (const std::system_error&) {
            // No thread to be had: this one does that run too.
            work(first, end);
        }
    }
    work(0, start(1));
    for (std::thread& helper : helpers)
        helper.join();
}
