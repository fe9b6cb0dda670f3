// One small example tree per node kind, with the sentence that says what its
// picture shows: the node reference of docs/node-kinds.md and the trees of
// examples/kinds/ are made from this table.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "standin/streams/tree_builder.h"

namespace vxs {

struct KindExample {
    const char* kind;
    // The scene of examples/kinds/ whose surface "Subject" wears the tree;
    // null for the editor's preview ball.
    const char* scene;
    const char* sentence;
    // Null where the tree file is written by hand: its nodes own host data
    // (textures, envelopes, images) that only a file states readably.
    void (*build)(TreeBuilder& tree);
};

// In the catalogue's order.
std::span<const KindExample> kindExamples();
const KindExample* findKindExample(std::string_view kind);

// The example's tree, laid out with the root last; the builder names any
// mistake in it.
void buildKindExample(const KindExample& example, TreeBuilder& tree);

// The file name stem of a kind's tree and picture: "rgb -> hsv" gives
// "rgb-hsv", "Oren-Nayer" gives "oren-nayer".
std::string kindStem(std::string_view kind);

}  // namespace vxs
