#include "standin/services/render_memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using vxs::RenderMemory;

TEST(RenderMemory, NewBlocksAreZeroedAndAligned) {
    RenderMemory memory;
    for (size_t size : {0, 1, 4, 17, 4096}) {
        auto* block = static_cast<unsigned char*>(memory.create("b" + std::to_string(size), size));
        ASSERT_NE(block, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u) << size;
        for (size_t i = 0; i < size; ++i) ASSERT_EQ(block[i], 0) << size << " at " << i;
    }
}

TEST(RenderMemory, CreatingATakenNameReusesTheBlockWhenItFits) {
    struct Row {
        size_t first, second;
        bool reused;  // else null
    };
    const Row rows[] = {{4, 4, true}, {8, 4, true}, {8, 0, true}, {4, 8, false}, {0, 1, false}};
    for (const Row& r : rows) {
        RenderMemory memory;
        void* first = memory.create("word", r.first);
        std::memset(first, 0x5a, r.first);
        void* second = memory.create("word", r.second);
        EXPECT_EQ(second, r.reused ? first : nullptr) << r.first << " then " << r.second;
        // The existing block and its contents survive either way.
        EXPECT_EQ(memory.find("word"), first);
        if (r.first) {
            EXPECT_EQ(*static_cast<unsigned char*>(first), 0x5a);
        }
    }
}

TEST(RenderMemory, AWildSizeGivesNullAndLeavesTheNameFree) {
    RenderMemory memory;
    EXPECT_EQ(memory.create("huge", SIZE_MAX), nullptr);
    EXPECT_EQ(memory.create("huge", SIZE_MAX - 8), nullptr);
    EXPECT_EQ(memory.find("huge"), nullptr);
    EXPECT_NE(memory.create("huge", 4), nullptr);
}

// Render threads make their own words and race for a shared one; every
// thread must end up with the one shared block and its own words intact.
TEST(RenderMemory, ConcurrentThreadsShareOneBlockPerName) {
    RenderMemory memory;
    constexpr int kThreads = 8, kRounds = 200;
    std::vector<void*> shared(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                const std::string own = "flag " + std::to_string(t) + " " + std::to_string(i);
                auto* word = static_cast<uint32_t*>(memory.create(own, 4));
                *word = static_cast<uint32_t>(t * kRounds + i);
                void* s = memory.find("shared");
                if (!s) s = memory.create("shared", 4);
                if (i == 0) shared[t] = s;
                else if (s != shared[t]) shared[t] = nullptr;
            }
        });
    for (auto& th : threads) th.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(shared[t], memory.find("shared")) << t;
        for (int i = 0; i < kRounds; ++i) {
            const std::string own = "flag " + std::to_string(t) + " " + std::to_string(i);
            auto* word = static_cast<uint32_t*>(memory.find(own));
            ASSERT_NE(word, nullptr) << own;
            EXPECT_EQ(*word, static_cast<uint32_t>(t * kRounds + i)) << own;
        }
    }
}

}  // namespace
