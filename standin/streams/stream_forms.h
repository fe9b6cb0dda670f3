// The two stream forms behind SaveStream and LoadStream.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/services.h"

namespace vxs {

inline constexpr std::string_view kBinarySignature{"\x89VXB", 4};
// Deeper blocks are refused, so hostile nesting cannot run a recursive
// reader out of stack. A tree's macros take two blocks a level: this leaves
// room for the deepest tree the module saves.
inline constexpr int kMaxBlockDepth = 1024;

class StreamWriter {
public:
    virtual ~StreamWriter() = default;
    virtual void writeI2(const int16_t* v, int n) = 0;
    virtual void writeI4(const int32_t* v, int n) = 0;
    virtual void writeU4(const uint32_t* v, int n) = 0;
    virtual void writeFP(const float* v, int n) = 0;
    virtual void writeStr(const char* s) = 0;
    virtual void writeRaw(const void* bytes, int n) = 0;
    virtual void beginBlk(const HostBlockId& id) = 0;
    virtual void endBlk() = 0;
    virtual int depth() const = 0;
    virtual std::string bytes() const = 0;
};

// Every read delivers all it was asked for or nothing, and says which; the
// reader decides what a missing value means. Damaged structure (a block
// without its end, a syntax error, a block header that does not fit) is a
// failure that stays remembered.
class StreamReader {
public:
    virtual ~StreamReader() = default;
    virtual int readI2(int16_t* v, int n) = 0;
    virtual int readI4(int32_t* v, int n) = 0;
    virtual int readU4(uint32_t* v, int n) = 0;
    virtual int readFP(float* v, int n) = 0;
    virtual int readStr(char* buf, int max) = 0;
    virtual int readRaw(void* bytes, int n) = 0;
    virtual uint32_t findBlk(const HostBlockId* table) = 0;
    virtual void endBlk() = 0;
    virtual int depth() const = 0;

    bool failed() const { return failed_; }

protected:
    void fail() { failed_ = true; }

private:
    bool failed_ = false;
};

std::unique_ptr<StreamWriter> makeTextWriter();
std::unique_ptr<StreamWriter> makeBinaryWriter();
std::unique_ptr<StreamReader> makeTextReader(std::string data);
// `data` starts with the signature.
std::unique_ptr<StreamReader> makeBinaryReader(std::string data);

}  // namespace vxs
