// Loading a tree file of 40,000 nodes of kinds this module lacks between
// 40,000 it knows, each known one linked to the unknown one before it: the
// unknown ones and their links go in one pass.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "standin/streams/files.h"
#include "standin/streams/tree_file.h"

namespace {

constexpr int kPairs = 40000;

std::string mixedTree() {
    std::string nodes;
    for (int i = 0; i < kPairs; ++i) {
        nodes += "{ NodeData \"Elsewhere\" \"unknown\" 0 0 128 128 0 1 0 }\n";
        nodes += "{ NodeData \"Generic\" \"color\" 0 0 128 128 0 1 1\n  " + std::to_string(2 * i + 1) +
                 " 0 0 1 0 0 \"\"\n}\n";
    }
    return "272 { PluginDataLib 1 { PluginDataParam \"nlist\" 1347769170\n{ NodeList 256 " +
           std::to_string(2 * kPairs) + "\n" + nodes + "} } }\n";
}

void BM_LoadMixedTree(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "valtorimex-load-bench.shd";
    std::string error;
    if (!vxs::writeFile(path.string(), mixedTree(), error)) state.SkipWithError(error.c_str());
    const auto catalogue = vxs::nodeCatalogue();
    for (auto _ : state) {
        vx::NodeList tree;
        if (!vxs::readTreeFile(path.string(), tree, *catalogue, error)) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(tree.nodes.data());
    }
    std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_LoadMixedTree)->Unit(benchmark::kMillisecond);
