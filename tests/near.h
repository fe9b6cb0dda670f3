// Values compared component by component within a tolerance.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "core/value.h"

namespace vxt {

inline std::string describe(const vx::NodeValue& v) {
    std::ostringstream os;
    os.precision(17);
    os << '(' << v.x << ", " << v.y << ", " << v.z << ')';
    return os.str();
}

// Components agree within `tolerance`, relative beyond magnitude 1; NaN
// matches NaN and infinities match exactly.
inline ::testing::AssertionResult near(const vx::NodeValue& got, const vx::NodeValue& want, double tolerance) {
    const double g[] = {got.x, got.y, got.z}, w[] = {want.x, want.y, want.z};
    for (int i = 0; i < 3; ++i) {
        const bool same = std::isnan(w[i]) ? std::isnan(g[i])
                          : std::isinf(w[i]) ? g[i] == w[i]
                                             : std::fabs(g[i] - w[i]) <= tolerance * std::fmax(1, std::fabs(w[i]));
        if (!same) return ::testing::AssertionFailure() << describe(got) << " is not " << describe(want);
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vxt
