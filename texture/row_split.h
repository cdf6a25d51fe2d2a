// Work on the rows of a picture spread over the processor's cores. Threads
// take runs of rows in turn; no run is touched by two of them, so what the
// rows hold afterwards does not depend on how many threads there were or
// which took what.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

// Threads worth starting for `pixels` of work: one below a quarter of a
// megapixel, where starting a thread costs more than it saves; else one a
// core, at most eight.
inline int rowParts(int64_t pixels) {
    if (pixels < (int64_t(1) << 18)) return 1;
    const unsigned cores = std::thread::hardware_concurrency();
    return int(std::clamp(cores, 1u, 8u));
}

// Calls work(first, end) on runs of [0, rows) taken in turn by `parts`
// threads. The calling thread is one of them; it first runs `meanwhile`
// while the others already start, then takes runs too.
template <typename Work>
void splitRows(int rows, int parts, const Work& work, const std::function<void()>& meanwhile = {}) {
    parts = std::clamp(parts, 1, std::max(rows, 1));
    // Short runs, so that a thread held up elsewhere leaves its share to the
    // others.
    const int run = parts == 1 ? std::max(rows, 1) : std::max(1, rows / (parts * 8));
    std::atomic<int> next{0};
    auto take = [&] {
        for (int first; (first = next.fetch_add(run)) < rows;)
            work(first, std::min(rows, first + run));
    };
    std::vector<std::thread> helpers;
    helpers.reserve(size_t(parts - 1));
    for (int part = 1; part < parts; ++part) {
        try {
            helpers.emplace_back(take);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the others take all the rows
        }
    }
    if (meanwhile) meanwhile();
    take();
    for (std::thread& helper : helpers)
        helper.join();
}

// Rows made in bands of `bandRows` by `parts` threads into a few buffers of
// `rowBytes` a row that go round: make(first, end, rows) fills one, and
// deliver(first, end, rows) hands it on, on the calling thread only, each band
// once in whatever order they are done. The calling thread first runs
// `meanwhile`, then delivers, and makes bands itself while none is waiting.
template <typename Make, typename Deliver>
void pipeRows(int rows, int bandRows, size_t rowBytes, int parts, const Make& make,
              const std::function<void()>& meanwhile, const Deliver& deliver) {
    const int bands = (rows + bandRows - 1) / bandRows;
    parts = std::clamp(parts, 1, std::max(bands, 1));
    auto firstOf = [&](int band) { return band * bandRows; };
    auto endOf = [&](int band) { return std::min(rows, (band + 1) * bandRows); };
    std::vector<std::vector<unsigned char>> buffers(size_t(parts) + 1);
    if (parts == 1) {
        if (meanwhile) meanwhile();
        buffers[0].resize(size_t(std::min(rows, bandRows)) * rowBytes);
        for (int band = 0; band < bands; ++band) {
            make(firstOf(band), endOf(band), buffers[0].data());
            deliver(firstOf(band), endOf(band), buffers[0].data());
        }
        return;
    }
    std::mutex lock;
    std::condition_variable changed;
    std::vector<unsigned char*> idle;
    for (std::vector<unsigned char>& b : buffers) {
        b.resize(size_t(bandRows) * rowBytes);
        idle.push_back(b.data());
    }
    struct Made {
        int band;
        unsigned char* rows;
    };
    std::vector<Made> made;
    int next = 0, delivered = 0;
    auto helper = [&] {
        std::unique_lock<std::mutex> held(lock);
        for (;;) {
            changed.wait(held, [&] { return next >= bands || !idle.empty(); });
            if (next >= bands) return;
            const Made m = {next++, idle.back()};
            idle.pop_back();
            held.unlock();
            make(firstOf(m.band), endOf(m.band), m.rows);
            held.lock();
            made.push_back(m);
            changed.notify_all();
        }
    };
    std::vector<std::thread> helpers;
    for (int part = 1; part < parts; ++part) {
        try {
            helpers.emplace_back(helper);
        } catch (const std::system_error&) {
            break; // the calling thread makes whatever they leave
        }
    }
    if (meanwhile) meanwhile();
    std::unique_lock<std::mutex> held(lock);
    while (delivered < bands) {
        Made m;
        if (!made.empty()) {
            m = made.back();
            made.pop_back();
            held.unlock();
        } else if (next < bands && !idle.empty()) {
            m = {next++, idle.back()};
            idle.pop_back();
            held.unlock();
            make(firstOf(m.band), endOf(m.band), m.rows);
        } else {
            changed.wait(held);
            continue;
        }
        deliver(firstOf(m.band), endOf(m.band), m.rows);
        held.lock();
        idle.push_back(m.rows);
        ++delivered;
        changed.notify_all();
    }
    held.unlock();
    for (std::thread& h : helpers)
        h.join();
}
