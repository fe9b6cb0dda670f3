// Binary form: the signature, then big-endian values. A block is its
// identifier, the length of its content and the content, so a reader can step
// over any block it does not want. Strings are a length and their bytes.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "standin/streams/stream_forms.h"

namespace vxs {

namespace {

template <class T>
void putBE(std::string& out, T v) {
    using U = std::make_unsigned_t<T>;
    const auto u = static_cast<U>(v);
    for (int shift = 8 * (sizeof(U) - 1); shift >= 0; shift -= 8) out += static_cast<char>((u >> shift) & 0xFF);
}

template <class U>
U getBE(const unsigned char* p) {
    U u = 0;
    for (size_t i = 0; i < sizeof(U); ++i) u = static_cast<U>((u << 8) | p[i]);
    return u;
}

class BinaryWriter final : public StreamWriter {
public:
    BinaryWriter() : out_(kBinarySignature) {}

    void writeI2(const int16_t* v, int n) override { put(v, n); }
    void writeI4(const int32_t* v, int n) override { put(v, n); }
    void writeU4(const uint32_t* v, int n) override { put(v, n); }
    void writeFP(const float* v, int n) override {
        for (int i = 0; i < n; ++i) putBE(out_, std::bit_cast<uint32_t>(v[i]));
    }
    void writeStr(const char* s) override {
        const size_t len = std::strlen(s);
        putBE(out_, static_cast<uint32_t>(len));
        out_.append(s, len);
    }
    void writeRaw(const void* bytes, int n) override {
        if (n > 0) out_.append(static_cast<const char*>(bytes), static_cast<size_t>(n));
    }
    void beginBlk(const HostBlockId& id) override {
        putBE(out_, id.id);
        open_.push_back(out_.size());
        putBE(out_, uint32_t{0});  // patched by endBlk
    }
    void endBlk() override {
        if (open_.empty()) return;
        patch(out_, open_.back());
        open_.pop_back();
    }
    int depth() const override { return static_cast<int>(open_.size()); }
    std::string bytes() const override {
        std::string copy = out_;
        for (size_t at : open_) patch(copy, at);
        return copy;
    }

private:
    template <class T>
    void put(const T* v, int n) {
        for (int i = 0; i < n; ++i) putBE(out_, v[i]);
    }
    // The length field at `at` gets the size of everything after it.
    static void patch(std::string& out, size_t at) {
        std::string len;
        putBE(len, static_cast<uint32_t>(out.size() - at - 4));
        out.replace(at, 4, len);
    }

    std::string out_;
    std::vector<size_t> open_;  // offsets of the open blocks' length fields
};

class BinaryReader final : public StreamReader {
public:
    explicit BinaryReader(std::string data) : data_(std::move(data)), pos_(kBinarySignature.size()) {}

    int readI2(int16_t* v, int n) override { return get(v, n); }
    int readI4(int32_t* v, int n) override { return get(v, n); }
    int readU4(uint32_t* v, int n) override { return get(v, n); }
    int readFP(float* v, int n) override {
        if (n <= 0 || !has(static_cast<size_t>(n) * 4)) return 0;
        for (int i = 0; i < n; ++i, pos_ += 4) v[i] = std::bit_cast<float>(getBE<uint32_t>(at()));
        return n;
    }
    int readStr(char* buf, int max) override {
        if (max <= 0 || !has(4)) return -1;
        const uint32_t len = getBE<uint32_t>(at());
        if (!has(size_t{4} + len)) return -1;
        const size_t keep = std::min<size_t>(len, static_cast<size_t>(max) - 1);
        std::memcpy(buf, at() + 4, keep);
        buf[keep] = '\0';
        pos_ += 4 + size_t{len};
        return static_cast<int>(keep);
    }
    int readRaw(void* bytes, int n) override {
        if (n <= 0 || !has(static_cast<size_t>(n))) return 0;
        std::memcpy(bytes, at(), static_cast<size_t>(n));
        pos_ += static_cast<size_t>(n);
        return n;
    }
    uint32_t findBlk(const HostBlockId* table) override {
        const size_t end = blockEnd();
        while (pos_ < end) {
            if (end - pos_ < 8) return malformed();
            const uint32_t id = getBE<uint32_t>(at());
            const uint32_t len = getBE<uint32_t>(at() + 4);
            if (len > end - pos_ - 8) return malformed();
            if (known(id, table)) {
                if (depth() >= kMaxBlockDepth) {
                    fail();
                    return 0;
                }
                ends_.push_back(pos_ + 8 + len);
                pos_ += 8;
                return id;
            }
            pos_ += 8 + size_t{len};
        }
        return 0;
    }
    void endBlk() override {
        if (ends_.empty()) return;
        pos_ = ends_.back();
        ends_.pop_back();
    }
    int depth() const override { return static_cast<int>(ends_.size()); }

private:
    const unsigned char* at() const { return reinterpret_cast<const unsigned char*>(data_.data()) + pos_; }
    size_t blockEnd() const { return ends_.empty() ? data_.size() : ends_.back(); }
    // Whether the current block holds `n` more bytes.
    bool has(size_t n) const { return blockEnd() - pos_ >= n; }
    // Garbage where a block header should be: the rest of this block is lost.
    uint32_t malformed() {
        fail();
        pos_ = blockEnd();
        return 0;
    }
    static bool known(uint32_t id, const HostBlockId* table) {
        for (const HostBlockId* e = table; e->id; ++e)
            if (e->id == id) return true;
        return false;
    }
    template <class T>
    int get(T* v, int n) {
        if (n <= 0 || !has(static_cast<size_t>(n) * sizeof(T))) return 0;
        for (int i = 0; i < n; ++i, pos_ += sizeof(T)) v[i] = static_cast<T>(getBE<std::make_unsigned_t<T>>(at()));
        return n;
    }

    std::string data_;
    size_t pos_;
    std::vector<size_t> ends_;  // where each open block's content ends
};

}  // namespace

std::unique_ptr<StreamWriter> makeBinaryWriter() { return std::make_unique<BinaryWriter>(); }
std::unique_ptr<StreamReader> makeBinaryReader(std::string data) {
    return std::make_unique<BinaryReader>(std::move(data));
}

}  // namespace vxs
