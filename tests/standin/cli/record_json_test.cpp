#include "standin/cli/record_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "standin/render/shading.h"

namespace {

TEST(RecordJson, ReadsBackWhatItWritesExactly) {
    HostShading sa = vxs::defaultShading();
    sa.sx = -3;
    sa.sy = 2147483647;
    sa.diffuse = std::numeric_limits<double>::quiet_NaN();
    sa.roughness = 1.0 / 3;
    sa.wPos[1] = -1e-300;
    sa.color[1] = -std::numeric_limits<double>::infinity();
    sa.color[2] = std::numeric_limits<double>::infinity();
    const std::string text = vxs::recordJson(sa);
    EXPECT_NE(text.find(R"("base_color": [0.78500000000000003, "-inf", "inf"])"), std::string::npos) << text;
    EXPECT_NE(text.find(R"("diffuse": "nan",)"), std::string::npos) << text;
    HostShading back{};
    std::string error;
    ASSERT_TRUE(vxs::readRecordJson(text, back, error)) << error;
    EXPECT_EQ(vxs::recordJson(back), text);
    EXPECT_TRUE(std::isnan(back.diffuse));
    EXPECT_EQ(back.color[1], sa.color[1]);
    EXPECT_EQ(back.wPos[1], sa.wPos[1]);
}

TEST(RecordJson, RejectsBadRecords) {
    struct Row { const char* json; const char* error; };
    const Row rows[] = {
        {"", "not valid JSON"},
        {"{", "not valid JSON"},
        {"{\"diffuse\": 1} x", "not valid JSON"},
        {"[1, 2]", "not a JSON object"},
        {R"({"colour": [1, 1, 1]})", "unknown key \"colour\""},
        {R"({"Diffuse": 1})", "unknown key \"Diffuse\""},
        {R"({"diffuse": "1"})", "\"diffuse\" must be a number"},
        {R"({"diffuse": null})", "\"diffuse\" must be a number"},
        {R"({"diffuse": "NaN"})", "\"diffuse\" must be a number"},
        {R"({"base_color": [1, 1]})", "\"base_color\" must be an array of three numbers"},
        {R"({"base_color": [1, "1", 1]})", "\"base_color\" must be an array of three numbers"},
        {R"({"base_color": 1})", "\"base_color\" must be an array of three numbers"},
        {R"({"pixel": [1.5, 2]})", "\"pixel\" must be an array of two integers"},
        {R"({"pixel": [1, 2147483648]})", "\"pixel\" must be an array of two integers"},
        {R"({"pixel": [-2147483649, 0]})", "\"pixel\" must be an array of two integers"},
        {R"({"pixel": [1, 18446744073709551615]})", "\"pixel\" must be an array of two integers"},
    };
    for (const Row& r : rows) {
        HostShading sa = vxs::defaultShading();
        std::string error;
        EXPECT_FALSE(vxs::readRecordJson(r.json, sa, error)) << r.json;
        EXPECT_EQ(error, r.error) << r.json;
    }
}

TEST(RecordJson, PixelTakesTheWholeIntRange) {
    HostShading sa{};
    std::string error;
    ASSERT_TRUE(vxs::readRecordJson(R"({"pixel": [-2147483648, 2147483647]})", sa, error)) << error;
    EXPECT_EQ(sa.sx, std::numeric_limits<int>::min());
    EXPECT_EQ(sa.sy, std::numeric_limits<int>::max());
}

}  // namespace
