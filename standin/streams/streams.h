// The host's block-structured save and load states, in both stream forms.
//
// Text form: one token per value, `{ Token` and `}` lines around blocks.
// Binary form: a 4-byte signature, then big-endian values; every block is its
// 4-byte identifier, its 4-byte content length and the content.
//
// Strings are read into a buffer of `max` bytes: at most max - 1 characters
// and a terminating NUL; the rest of a longer string is skipped.
#pragma once

#include <memory>
#include <string>

#include "host/services.h"

namespace vxs {

class StreamWriter;
class StreamReader;

class SaveStream {
public:
    explicit SaveStream(int ioMode);  // HOST_IO_BINARY or HOST_IO_TEXT
    ~SaveStream();
    SaveStream(SaveStream&&) noexcept;
    SaveStream& operator=(SaveStream&&) noexcept;

    const HostSaveState* state() const { return &state_; }
    // What was written; blocks still open are closed in the copy.
    std::string bytes() const;
    // Whether nothing was written into the state: a module that gives up a
    // save (a tree it cannot write) writes nothing.
    bool empty() const;

private:
    std::unique_ptr<StreamWriter> writer_;
    HostSaveState state_;
};

class LoadStream {
public:
    // Detects the form by the binary signature.
    explicit LoadStream(std::string data);
    ~LoadStream();
    LoadStream(LoadStream&&) noexcept;
    LoadStream& operator=(LoadStream&&) noexcept;

    const HostLoadState* state() const { return &state_; }
    // A block without its end, a malformed block header or a syntax error.
    bool failed() const;
    int form() const { return state_.ioMode; }

private:
    std::unique_ptr<StreamReader> reader_;
    HostLoadState state_;
};

}  // namespace vxs
