// A tree beside its hand-written twin, timed in alternating chunks: on a
// shared machine a slow stretch then slows both alike, and the median of the
// chunks' ratios says what the tree costs against the same code by hand.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace vxb {

template <class Tree, class Hand>
void runPaired(benchmark::State& state, Tree tree, Hand hand) {
    using Clock = std::chrono::steady_clock;
    constexpr int kChunk = 200;
    const auto time = [](auto sample) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kChunk; ++i) sample();
        return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / kChunk;
    };
    std::vector<double> treeNs, handNs, ratios;
    bool treeFirst = true;
    for (auto _ : state) {
        // Each goes first in turn, so neither always meets a warm machine.
        double t = 0, h = 0;
        if (treeFirst) {
            t = time(tree);
            h = time(hand);
        } else {
            h = time(hand);
            t = time(tree);
        }
        treeFirst = !treeFirst;
        state.SetIterationTime(t * kChunk * 1e-9);
        treeNs.push_back(t);
        handNs.push_back(h);
        ratios.push_back(t / h);
    }
    const auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    };
    state.counters["tree_ns"] = median(treeNs);
    state.counters["hand_ns"] = median(handNs);
    state.counters["ratio"] = median(ratios);
}

}  // namespace vxb
