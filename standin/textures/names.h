// The words files use for a setting's values, by index.
#pragma once

#include <cstddef>
#include <string_view>

namespace vxs {

// The index of the name in the table, -1 when it has none.
template <std::size_t N>
int indexOf(const char* const (&names)[N], std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (name == names[i]) return static_cast<int>(i);
    return -1;
}

}  // namespace vxs
