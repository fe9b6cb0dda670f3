// Text form: one white-space separated token per value. Blocks are `{ Token`
// ... `}`, strings are quoted with \" \\ \n escaped, raw bytes are one token
// of hexadecimal digits. The reader scans tokens lazily, so skipping a block
// costs one pass over it and allocates nothing.
#include <charconv>
#include <type_traits>

#include "standin/streams/stream_forms.h"

namespace vxs {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDelimiter(char c) { return isSpace(c) || c == '{' || c == '}' || c == '"'; }

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The whole word must be the number; any decimal or exponent notation for
// floats, a leading '+' allowed.
template <class T>
bool parse(std::string_view word, T& out) {
    if (word.starts_with('+')) {
        word.remove_prefix(1);
        if (word.starts_with('-')) return false;
    }
    const char* end = word.data() + word.size();
    std::from_chars_result r;
    if constexpr (std::is_floating_point_v<T>)
        r = std::from_chars(word.data(), end, out, std::chars_format::general);
    else
        r = std::from_chars(word.data(), end, out);
    return r.ec == std::errc() && r.ptr == end && !word.empty();
}

// One line per write, except that an unsigned value opens a line the writes
// after it join until a string ends it or a block begins or ends: a node's
// input (source position, output index, integer, value, text) reads as one row.
class TextWriter final : public StreamWriter {
public:
    void writeI2(const int16_t* v, int n) override { numbers(v, n, joining_); }
    void writeI4(const int32_t* v, int n) override { numbers(v, n, joining_); }
    void writeU4(const uint32_t* v, int n) override { numbers(v, n, true); }
    // Shortest text that reads back as the same float.
    void writeFP(const float* v, int n) override { numbers(v, n, joining_); }
    void writeStr(const char* s) override {
        startItem();
        out_ += '"';
        for (; *s; ++s) {
            if (*s == '"' || *s == '\\' || *s == '\n') out_ += '\\';
            out_ += *s == '\n' ? 'n' : *s;
        }
        out_ += '"';
        endItem(false);
    }
    void writeRaw(const void* bytes, int n) override {
        if (n <= 0) return;
        static constexpr char kHex[] = "0123456789abcdef";
        const bool keep = joining_;
        startItem();
        const auto* b = static_cast<const unsigned char*>(bytes);
        for (int i = 0; i < n; ++i) {
            out_ += kHex[b[i] >> 4];
            out_ += kHex[b[i] & 15];
        }
        endItem(keep);
    }
    void beginBlk(const HostBlockId& id) override {
        closeLine();
        indent();
        out_ += "{ ";
        if (id.token) {
            out_ += id.token;
        } else {
            for (int shift = 24; shift >= 0; shift -= 8) out_ += static_cast<char>((id.id >> shift) & 0xFF);
        }
        out_ += '\n';
        ++depth_;
    }
    void endBlk() override {
        if (depth_ == 0) return;
        closeLine();
        --depth_;
        indent();
        out_ += "}\n";
    }
    int depth() const override { return depth_; }
    std::string bytes() const override {
        std::string copy = out_;
        if (joining_) copy += '\n';
        for (int d = depth_ - 1; d >= 0; --d) copy.append(2 * static_cast<size_t>(d), ' ').append("}\n");
        return copy;
    }

private:
    void indent() { out_.append(2 * static_cast<size_t>(depth_), ' '); }
    void startItem() {
        if (joining_)
            out_ += ' ';
        else
            indent();
    }
    void endItem(bool keepLine) {
        joining_ = keepLine;
        if (!keepLine) out_ += '\n';
    }
    void closeLine() {
        if (joining_) out_ += '\n';
        joining_ = false;
    }
    template <class T>
    void numbers(const T* v, int n, bool keepLine) {
        if (n <= 0) return;
        startItem();
        for (int i = 0; i < n; ++i) {
            char buf[64];
            if (i) out_ += ' ';
            out_.append(buf, std::to_chars(buf, buf + sizeof buf, v[i]).ptr);
        }
        endItem(keepLine);
    }

    std::string out_;
    int depth_ = 0;
    bool joining_ = false;
};

class TextReader final : public StreamReader {
public:
    explicit TextReader(std::string data) : data_(std::move(data)) {}

    int readI2(int16_t* v, int n) override { return values(v, n); }
    int readI4(int32_t* v, int n) override { return values(v, n); }
    int readU4(uint32_t* v, int n) override { return values(v, n); }
    int readFP(float* v, int n) override { return values(v, n); }
    int readStr(char* buf, int max) override {
        if (max <= 0) return -1;
        const Token t = token(pos_);
        if (t.kind != Kind::String) return -1;
        int k = 0;
        for (size_t i = t.begin; i < t.end && k < max - 1; ++i) {
            char c = data_[i];
            if (c == '\\') c = data_[++i] == 'n' ? '\n' : data_[i];
            buf[k++] = c;
        }
        buf[k] = '\0';
        pos_ = t.next;
        return k;
    }
    int readRaw(void* bytes, int n) override {
        if (n <= 0) return 0;
        const Token t = token(pos_);
        bool ok = t.kind == Kind::Word && t.end - t.begin == 2 * static_cast<size_t>(n);
        for (size_t i = t.begin; ok && i < t.end; ++i) ok = hexDigit(data_[i]) >= 0;
        if (!ok) return 0;
        auto* b = static_cast<unsigned char*>(bytes);
        for (int i = 0; i < n; ++i)
            b[i] = static_cast<unsigned char>(hexDigit(data_[t.begin + 2 * i]) * 16 + hexDigit(data_[t.begin + 2 * i + 1]));
        pos_ = t.next;
        return n;
    }
    uint32_t findBlk(const HostBlockId* table) override {
        for (;;) {
            const Token t = token(pos_);
            switch (t.kind) {
            case Kind::End:
                if (depth_ > 0) fail();  // the block has no end
                return 0;
            case Kind::Close:
                if (depth_ == 0) fail();  // an end without a begin
                return 0;
            case Kind::Open:
                if (const uint32_t id = lookup(t, table)) {
                    if (depth_ >= kMaxBlockDepth) {
                        fail();
                        return 0;
                    }
                    pos_ = t.next;
                    ++depth_;
                    return id;
                }
                pos_ = t.next;
                skipRest();
                break;
            default:  // a value nobody read
                pos_ = t.next;
            }
        }
    }
    void endBlk() override {
        if (depth_ == 0) return;
        skipRest();
        --depth_;
    }
    int depth() const override { return depth_; }

private:
    enum class Kind { Open, Close, String, Word, End, Error };
    // [begin, end) is a block's token, a string's body or a word.
    struct Token {
        Kind kind;
        size_t begin, end, next;
    };

    // The token at or after p. A syntax error makes the rest unreadable: it
    // is remembered and reads as the end of the data.
    Token token(size_t p) {
        if (p != cachedAt_) {
            cached_ = scan(p);
            cachedAt_ = p;
        }
        if (cached_.kind == Kind::Error) {
            fail();
            pos_ = data_.size();
            cached_ = {Kind::End, pos_, pos_, pos_};
        }
        return cached_;
    }
    Token scan(size_t p) const {
        const size_t n = data_.size();
        while (p < n && isSpace(data_[p])) ++p;
        if (p == n) return {Kind::End, n, n, n};
        const char c = data_[p];
        if (c == '}') return {Kind::Close, p, p + 1, p + 1};
        if (c == '"') {
            size_t e = p + 1;
            while (e < n && data_[e] != '"') e += data_[e] == '\\' ? 2 : 1;
            if (e >= n) return {Kind::Error, p, n, n};
            return {Kind::String, p + 1, e, e + 1};
        }
        size_t b = p;
        if (c == '{')
            for (++b; b < n && isSpace(data_[b]);) ++b;
        size_t e = b;
        while (e < n && !isDelimiter(data_[e])) ++e;
        if (c == '{') return {e > b ? Kind::Open : Kind::Error, b, e, e};
        return {Kind::Word, b, e, e};
    }
    std::string_view text(const Token& t) const { return std::string_view(data_).substr(t.begin, t.end - t.begin); }
    // The text form matches by token, so entries sharing an id stay apart.
    uint32_t lookup(const Token& t, const HostBlockId* table) const {
        for (const HostBlockId* e = table; e->id; ++e)
            if (e->token && text(t) == e->token) return e->id;
        return 0;
    }
    // Leaves the current block, nested blocks included.
    void skipRest() {
        for (int level = 0;;) {
            const Token t = token(pos_);
            if (t.kind == Kind::End) {
                fail();
                return;
            }
            pos_ = t.next;
            if (t.kind == Kind::Open) ++level;
            if (t.kind == Kind::Close && level-- == 0) return;
        }
    }
    // All n words are checked before any is stored, so a failed read leaves
    // the caller's values alone.
    template <class T>
    int values(T* v, int n) {
        if (n <= 0) return 0;
        size_t p = pos_;
        for (int i = 0; i < n; ++i) {
            const Token t = token(p);
            T probe;
            if (t.kind != Kind::Word || !parse(text(t), probe)) return 0;
            p = t.next;
        }
        for (int i = 0; i < n; ++i) {
            const Token t = token(pos_);
            parse(text(t), v[i]);
            pos_ = t.next;
        }
        return n;
    }

    std::string data_;
    size_t pos_ = 0;
    int depth_ = 0;
    size_t cachedAt_ = std::string::npos;
    Token cached_{};
};

}  // namespace

std::unique_ptr<StreamWriter> makeTextWriter() { return std::make_unique<TextWriter>(); }
std::unique_ptr<StreamReader> makeTextReader(std::string data) { return std::make_unique<TextReader>(std::move(data)); }

}  // namespace vxs
