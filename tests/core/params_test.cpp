#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <limits>
#include <string>

#include "core/params.h"
#include "standin/streams/streams.h"

using namespace vx;
using vxs::LoadStream;
using vxs::SaveStream;

namespace {

// Every row type with data; PUSR through callbacks that keep a counter.
struct Rows {
    uint32_t u[2] = {7, 0xFFFFFFFFu};
    int32_t i[3] = {-1, 0, std::numeric_limits<int32_t>::min()};
    float f[2] = {0.1f, -0.0f};
    double d[4] = {0.1, -0.0, std::numeric_limits<double>::denorm_min(),
                   std::bit_cast<double>(uint64_t{0x7FF8000000000123})};  // a NaN with a payload
    std::string s = "path \"x\"\\y\nz";
    unsigned char b[3] = {0, 0x80, 0xff};
    int user = 5;

    static bool saveUser(const HostSaveState& st, void* data) {
        st.writeI4(st.data, static_cast<int32_t*>(data), 1);
        return true;
    }
    static bool loadUser(const HostLoadState& st, void* data) {
        return st.readI4(st.data, static_cast<int32_t*>(data), 1) == 1;
    }

    PluginParam row(const char* name) {
        const std::string n = name;
        if (n == "u") return {"u", PT_PUNT, u, 2};
        if (n == "i") return {"i", PT_PINT, i, 3};
        if (n == "f") return {"f", PT_PFLT, f, 2};
        if (n == "d") return {"d", PT_PDBL, d, 4};
        if (n == "s") return {"s", PT_PSTR, &s, 64};
        if (n == "b") return {"b", PT_PBIN, b, 3};
        return {"user", PT_PUSR, &user, 1, saveUser, loadUser};
    }
    void clear() {
        std::memset(u, 0, sizeof u);
        std::memset(i, 0, sizeof i);
        std::memset(f, 0, sizeof f);
        std::memset(d, 0, sizeof d);
        std::memset(b, 0, sizeof b);
        s.clear();
        user = 0;
    }
    bool operator==(const Rows& o) const {
        return std::memcmp(u, o.u, sizeof u) == 0 && std::memcmp(i, o.i, sizeof i) == 0 &&
               std::memcmp(f, o.f, sizeof f) == 0 && std::memcmp(d, o.d, sizeof d) == 0 && s == o.s &&
               std::memcmp(b, o.b, sizeof b) == 0 && user == o.user;
    }
};

std::string save(int form, const PluginParam* table) {
    SaveStream out(form);
    savePluginParams(*out.state(), table);
    return out.bytes();
}

void load(const std::string& data, const PluginParam* table) {
    LoadStream in(data);
    loadPluginParams(*in.state(), table);
}

class PluginParams : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(BothForms, PluginParams, testing::Values(HOST_IO_BINARY, HOST_IO_TEXT),
                         [](const auto& info) { return info.param == HOST_IO_TEXT ? "Text" : "Binary"; });

TEST_P(PluginParams, EveryRowTypeRoundTripsBitExactInAnyRowOrder) {
    Rows src;
    const PluginParam written[] = {src.row("u"), src.row("i"), src.row("f"), src.row("d"),
                                   src.row("s"), src.row("b"), src.row("user"), {nullptr}};
    const std::string data = save(GetParam(), written);

    Rows dst;
    dst.clear();
    const PluginParam reordered[] = {dst.row("user"), dst.row("b"), dst.row("s"), dst.row("d"),
                                     dst.row("f"), dst.row("i"), dst.row("u"), {nullptr}};
    load(data, reordered);
    EXPECT_TRUE(dst == src);
}

TEST_P(PluginParams, UnmatchedRowsAreSkippedAndKeepTheirValues) {
    Rows src;
    const PluginParam written[] = {src.row("u"), src.row("i"), src.row("f"), {nullptr}};
    const std::string data = save(GetParam(), written);

    Rows dst;
    dst.clear();
    float wider[3] = {9, 9, 9};
    const PluginParam table[] = {
        {"i", PT_PUNT, dst.u, 3},  // same name, other type
        {"f", PT_PFLT, wider, 3},  // the stream holds only two
        {"u", PT_PUNT, nullptr, 2},  // no data: neither written nor read
        {nullptr}};
    load(data, table);
    EXPECT_EQ(dst.u[0], 0u);
    EXPECT_EQ(wider[0], 9) << "a short row reads nothing";
    EXPECT_EQ(wider[2], 9);
}

struct TextCase { const char* what; const char* stream; int32_t expect; };

TEST(PluginParamsText, StreamsFromOtherWritersAndHostileCounts) {
    // "n" is a PINT row: type 1346981460.
    const TextCase cases[] = {
        {"plain", "{ PluginDataLib 1 { PluginDataParam \"n\" 1346981460 4 } }", 4},
        {"huge count ends with the rows present",
         "{ PluginDataLib 2147483647 { PluginDataParam \"n\" 1346981460 4 } }", 4},
        {"negative count reads nothing", "{ PluginDataLib -3 { PluginDataParam \"n\" 1346981460 4 } }", -1},
        {"unreadable count reads nothing", "{ PluginDataLib { PluginDataParam \"n\" 1346981460 4 } }", -1},
        {"no container", "{ Other 1 { PluginDataParam \"n\" 1346981460 4 } }", -1},
        {"unknown blocks and rows between",
         "{ PluginDataLib 3 { Junk 1 } { PluginDataParam \"gone\" 1346981460 8 { Deep } }"
         " { PluginDataParam \"n\" 1346981460 5 } }",
         5},
        {"a name the row only starts", "{ PluginDataLib 1 { PluginDataParam \"nn\" 1346981460 4 } }", -1},
        {"row without a type", "{ PluginDataLib 1 { PluginDataParam \"n\" } }", -1},
        {"row cut short", "{ PluginDataLib 1 { PluginDataParam \"n\" 1346981460 ", -1},
    };
    for (const TextCase& c : cases) {
        int32_t n = -1;
        const PluginParam table[] = {{"n", PT_PINT, &n, 1}, {nullptr}};
        load(c.stream, table);
        EXPECT_EQ(n, c.expect) << c.what;
    }
}

TEST(PluginParamsText, StringsAreCutToTheRowCount) {
    std::string s = "unchanged";
    const PluginParam table[] = {{"s", PT_PSTR, &s, 3}, {nullptr}};
    load("{ PluginDataLib 1 { PluginDataParam \"s\" 1347638354 \"abcdef\" } }", table);
    EXPECT_EQ(s, "abc");
}

}  // namespace
