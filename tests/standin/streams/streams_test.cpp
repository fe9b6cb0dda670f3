#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "standin/streams/file_io.h"
#include "standin/streams/files.h"
#include "standin/streams/stream_forms.h"
#include "standin/streams/streams.h"
#include "tests/temp_dir.h"

using vxs::LoadStream;
using vxs::SaveStream;

namespace {

constexpr HostBlockId kA{HOST_ID4('A', 'A', 'A', 'A'), "Alpha"};
constexpr HostBlockId kB{HOST_ID4('B', 'B', 'B', 'B'), "Beta"};
constexpr HostBlockId kC{HOST_ID4('C', 'C', 'C', 'C'), "Gamma"};
constexpr HostBlockId kOnlyA[] = {kA, {0, nullptr}};
constexpr HostBlockId kOnlyC[] = {kC, {0, nullptr}};
constexpr HostBlockId kAll[] = {kA, kB, kC, {0, nullptr}};

// Thin typed calls over the C tables, so tests read like the module's code.
struct Out {
    SaveStream stream;
    const HostSaveState& s = *stream.state();
    explicit Out(int form) : stream(form) {}
    void i2(int16_t v) { s.writeI2(s.data, &v, 1); }
    void i4(int32_t v) { s.writeI4(s.data, &v, 1); }
    void u4(uint32_t v) { s.writeU4(s.data, &v, 1); }
    void fp(float v) { s.writeFP(s.data, &v, 1); }
    void str(const char* v) { s.writeStr(s.data, v); }
    void raw(const std::vector<unsigned char>& v) { s.writeRaw(s.data, v.data(), static_cast<int>(v.size())); }
    void begin(const HostBlockId& id) { s.beginBlk(s.data, &id); }
    void end() { s.endBlk(s.data); }
};

struct In {
    LoadStream stream;
    const HostLoadState& s = *stream.state();
    explicit In(std::string data) : stream(std::move(data)) {}
    int32_t i4(int32_t fallback = -12345) {
        int32_t v = fallback;
        s.readI4(s.data, &v, 1);
        return v;
    }
    std::string str(int max = 256) {
        std::vector<char> buf(static_cast<size_t>(max));
        return s.readStr(s.data, buf.data(), max) >= 0 ? buf.data() : "<none>";
    }
    uint32_t find(const HostBlockId* table) { return s.findBlk(s.data, table); }
    void end() { s.endBlk(s.data); }
    int depth() { return s.depth(s.data); }
};

class Streams : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(BothForms, Streams, testing::Values(HOST_IO_BINARY, HOST_IO_TEXT),
                         [](const auto& info) { return info.param == HOST_IO_TEXT ? "Text" : "Binary"; });

TEST_P(Streams, EveryValueTypeRoundTrips) {
    const int16_t i2[] = {-32768, -1, 0, 32767};
    const int32_t i4[] = {std::numeric_limits<int32_t>::min(), -1, 0, std::numeric_limits<int32_t>::max()};
    const uint32_t u4[] = {0, 1347769170u, 0xFFFFFFFFu};
    const float fp[] = {0.1f,      -0.0f, 0.785f, std::numeric_limits<float>::denorm_min(),
                        3.4028235e38f, -1e-30f, std::numeric_limits<float>::infinity()};
    const char* strings[] = {"", "plain", "q\"uote\\back\nnew line", "{ Alpha } \"", "caf\xc3\xa9\t\r"};
    const std::vector<unsigned char> raw = {0x00, 0xff, 0xab, 0x10};

    Out out(GetParam());
    out.s.writeI2(out.s.data, i2, 4);
    out.begin(kA);
    out.s.writeI4(out.s.data, i4, 4);
    out.begin(kB);
    out.s.writeU4(out.s.data, u4, 3);
    out.s.writeFP(out.s.data, fp, 7);
    out.fp(std::nanf(""));
    out.end();
    for (const char* s : strings) out.str(s);
    out.raw(raw);
    out.end();

    In in(out.stream.bytes());
    EXPECT_EQ(in.stream.form(), GetParam());
    int16_t i2r[4] = {};
    ASSERT_EQ(in.s.readI2(in.s.data, i2r, 4), 4);
    EXPECT_TRUE(std::equal(i2, i2 + 4, i2r));
    ASSERT_EQ(in.find(kAll), kA.id);
    int32_t i4r[4] = {};
    ASSERT_EQ(in.s.readI4(in.s.data, i4r, 4), 4);
    EXPECT_TRUE(std::equal(i4, i4 + 4, i4r));
    ASSERT_EQ(in.find(kAll), kB.id);
    EXPECT_EQ(in.depth(), 2);
    uint32_t u4r[3] = {};
    ASSERT_EQ(in.s.readU4(in.s.data, u4r, 3), 3);
    EXPECT_TRUE(std::equal(u4, u4 + 3, u4r));
    float fpr[8] = {};
    ASSERT_EQ(in.s.readFP(in.s.data, fpr, 8), 8);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(std::bit_cast<uint32_t>(fp[i]), std::bit_cast<uint32_t>(fpr[i])) << i;
    EXPECT_TRUE(std::isnan(fpr[7]));
    in.end();
    for (const char* s : strings) EXPECT_EQ(in.str(), s);
    std::vector<unsigned char> rawr(raw.size());
    ASSERT_EQ(in.s.readRaw(in.s.data, rawr.data(), 4), 4);
    EXPECT_EQ(rawr, raw);
    in.end();
    EXPECT_EQ(in.depth(), 0);
    EXPECT_FALSE(in.stream.failed());
}

TEST_P(Streams, UnknownAndPartlyReadBlocksAreSkippedExactly) {
    Out out(GetParam());
    out.begin(kA);  // partly read: one of three values, then a nested block
    out.i4(1);
    out.str("} { Gamma \"");
    out.i4(3);
    out.begin(kC);
    out.i4(99);
    out.end();
    out.end();
    out.begin(kB);  // unknown to the caller, with a nested known id inside
    out.begin(kC);
    out.i4(98);
    out.end();
    out.end();
    out.begin(kC);
    out.i4(4);
    out.end();
    out.i4(5);

    In in(out.stream.bytes());
    ASSERT_EQ(in.find(kOnlyA), kA.id);
    EXPECT_EQ(in.i4(), 1);
    in.end();
    ASSERT_EQ(in.find(kOnlyC), kC.id) << "Beta and everything inside it is stepped over";
    EXPECT_EQ(in.i4(), 4);
    in.end();
    EXPECT_EQ(in.i4(), 5);
    EXPECT_FALSE(in.stream.failed());
}

// A read that does not fit reports it and consumes nothing; the reader
// decides what that means, so the stream is not marked failed.
TEST_P(Streams, ReadPastBlockEndConsumesNothing) {
    Out out(GetParam());
    out.begin(kA);
    out.i4(7);
    out.end();
    out.i4(8);
    In in(out.stream.bytes());
    ASSERT_EQ(in.find(kOnlyA), kA.id);

    int32_t two[2] = {-1, -1};
    EXPECT_EQ(in.s.readI4(in.s.data, two, 2), 0) << "all or nothing";
    EXPECT_EQ(two[0], -1);
    EXPECT_EQ(in.i4(), 7);
    EXPECT_EQ(in.i4(-5), -5) << "the next value lies outside the block";
    char buf[8] = "x";
    EXPECT_EQ(in.s.readStr(in.s.data, buf, sizeof buf), -1);
    EXPECT_STREQ(buf, "x");
    in.end();
    EXPECT_EQ(in.i4(), 8);
    EXPECT_FALSE(in.stream.failed());
}

TEST_P(Streams, LongStringIsCutToTheBufferAndItsRestSkipped) {
    Out out(GetParam());
    out.str("abcdefghij");
    out.i4(3);
    In in(out.stream.bytes());
    char buf[5];
    EXPECT_EQ(in.s.readStr(in.s.data, buf, sizeof buf), 4);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(in.i4(), 3);
}

struct NumberCase {
    const char* text;
    char type;  // 'h' i2, 'i' i4, 'u' u4, 'f' float
    bool ok;
    double value;
};

// One value read by the stream's reader for its type: the count read and the value.
template <class T> std::pair<int, double> readOne(int (*read)(void*, T*, int), void* data) {
    T v = 0;
    const int n = read(data, &v, 1);
    return {n, double(v)};
}

TEST(StreamsText, NumberNotations) {
    const NumberCase cases[] = {
        {"1e3", 'f', true, 1000},        {"+2.5", 'f', true, 2.5},       {".5", 'f', true, 0.5},
        {"3.", 'f', true, 3},            {"-1E-2", 'f', true, -0.01f},   {"7", 'f', true, 7},
        {"1e-45", 'f', true, 1e-45f},    {"0x10", 'f', false, 0},        {"1.5.2", 'f', false, 0},
        {"+7", 'i', true, 7},            {"-2147483648", 'i', true, -2147483648.0},
        {"2147483648", 'i', false, 0},   {"1.5", 'i', false, 0},         {"abc", 'i', false, 0},
        {"4294967295", 'u', true, 4294967295.0}, {"-1", 'u', false, 0},  {"32767", 'h', true, 32767},
        {"32768", 'h', false, 0},        {"\"7\"", 'i', false, 0},       {"+", 'i', false, 0},
    };
    for (const NumberCase& c : cases) {
        In in(c.text);
        const auto [n, got] = c.type == 'h'   ? readOne<int16_t>(in.s.readI2, in.s.data)
                              : c.type == 'i' ? readOne<int32_t>(in.s.readI4, in.s.data)
                              : c.type == 'u' ? readOne<uint32_t>(in.s.readU4, in.s.data)
                                              : readOne<float>(in.s.readFP, in.s.data);
        EXPECT_EQ(n == 1, c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(got, c.value) << c.text;
        }
    }
}

// Enters every block it can find, reading a little in each, as a loader
// meeting unknown data would.
int walk(const HostLoadState& s) {
    int entered = 0;
    while (s.findBlk(s.data, kAll)) {
        ++entered;
        int32_t v;
        char buf[16];
        s.readI4(s.data, &v, 1);
        s.readStr(s.data, buf, sizeof buf);
        entered += walk(s);
        s.endBlk(s.data);
    }
    return entered;
}

std::string binary(std::initializer_list<uint32_t> words, std::string tail = "") {
    std::string data("\x89VXB", 4);
    for (uint32_t w : words)
        for (int shift = 24; shift >= 0; shift -= 8) data += static_cast<char>(w >> shift);
    return data + tail;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct HostileCase { const char* what; std::string data; int maxEntered; };

TEST(StreamsHostile, InputsFailCleanly) {
    const HostileCase cases[] = {
        {"text truncated in a block", "{ Alpha\n 1 2", 1},
        {"unterminated string", "{ Alpha \"abc\\\" { Beta }", 1},
        {"begin without a token", "{ Alpha 1 {", 1},
        {"end without a begin", "} { Alpha }", 0},
        {"endless text nesting", repeat("{ Alpha ", 200000), vxs::kMaxBlockDepth},
        {"endless unknown nesting", "{ Alpha " + repeat("{ Delta ", 200000), 1},
        {"binary truncated header", binary({}, "AAA"), 0},
        {"binary length beyond the data", binary({kA.id, 0xFFFFFFFFu, 1}), 0},
        {"binary inner length beyond its block", binary({kA.id, 20, 5, 0, kB.id, 100, 0}), 1},
        {"binary string length beyond the block", binary({kA.id, 8, 0, 0x7FFFFFFFu}), 1},
        {"binary block cut short", binary({kA.id, 10, 1}), 0},
    };
    // Nested blocks beyond the limit, each holding a number and an empty string first.
    std::string deep;
    for (int i = 0; i < vxs::kMaxBlockDepth + 10; ++i) deep = binary({kA.id, static_cast<uint32_t>(8 + deep.size()), 0, 0}, deep).substr(4);
    deep = binary({}, deep);

    for (const HostileCase& c : cases) {
        In in(c.data);
        EXPECT_LE(walk(in.s), c.maxEntered) << c.what;
        EXPECT_TRUE(in.stream.failed()) << c.what;
    }
    In in(deep);
    EXPECT_EQ(walk(in.s), vxs::kMaxBlockDepth) << "binary nesting stops at the limit";
    EXPECT_TRUE(in.stream.failed());
}

class FileIO : public testing::Test, protected vxt::TempDir {
protected:
    const HostFileIO& io = *vxs::fileIOService();
};

TEST_F(FileIO, WritesOnCloseAndReadsEitherForm) {
    for (int mode : {HOST_IO_BINARY, HOST_IO_TEXT}) {
        const std::string path = (dir() / ("tree" + std::to_string(mode))).string();
        HostSaveState* save = io.openSave(path.c_str(), mode);
        ASSERT_NE(save, nullptr);
        const int32_t v = 272;
        save->beginBlk(save->data, &kA);
        save->writeI4(save->data, &v, 1);
        EXPECT_FALSE(std::filesystem::exists(path)) << "written only on close";
        EXPECT_EQ(io.closeSave(save), 1);

        HostLoadState* load = io.openLoad(path.c_str(), 0);
        ASSERT_NE(load, nullptr);
        EXPECT_EQ(load->ioMode, mode);
        int32_t r = 0;
        EXPECT_EQ(load->findBlk(load->data, kOnlyA), kA.id);
        EXPECT_EQ(load->readI4(load->data, &r, 1), 1);
        EXPECT_EQ(r, 272);
        io.closeLoad(load);
    }
}

// An empty state is a save the module gave up: the old file stays.
TEST_F(FileIO, NothingSavedWritesNothing) {
    const std::string path = write("tree", "old");
    for (int mode : {HOST_IO_BINARY, HOST_IO_TEXT}) EXPECT_EQ(io.closeSave(io.openSave(path.c_str(), mode)), 0);
    EXPECT_EQ(read("tree"), "old");
}

// The new file takes the place of the old one as the old one stood: through
// a link, with its permissions; a device takes the bytes in place.
TEST_F(FileIO, ReplacedFilesKeepTheirLinkAndPermissions) {
    namespace fs = std::filesystem;
    const std::string target = write("target", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, path("link"));
    std::string error;
    ASSERT_TRUE(vxs::writeFile(path("link"), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(path("link")));
    EXPECT_EQ(read("target"), "new");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(vxs::writeFile("/dev/null", "new", error)) << error;
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(dir()), {}).size(), 2u) << "no temporary file left";
}

TEST_F(FileIO, UnreadableOrHugeFilesGiveNull) {
    EXPECT_EQ(io.openLoad((dir() / "missing").c_str(), 0), nullptr);
    EXPECT_EQ(io.openLoad(nullptr, 0), nullptr);
    const auto huge = dir() / "huge";
    std::ofstream(huge).put('7');
    std::filesystem::resize_file(huge, (std::uintmax_t{64} << 20) + 1);  // sparse
    EXPECT_EQ(io.openLoad(huge.c_str(), 0), nullptr);
}

}  // namespace
