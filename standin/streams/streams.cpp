#include "standin/streams/streams.h"

#include "standin/streams/stream_forms.h"

namespace vxs {

namespace {
StreamWriter& writer(void* d) { return *static_cast<StreamWriter*>(d); }
StreamReader& reader(void* d) { return *static_cast<StreamReader*>(d); }

HostSaveState saveState(int ioMode, StreamWriter* w) {
    HostSaveState s{};
    s.ioMode = ioMode;
    s.data = w;
    s.writeI2 = [](void* d, const int16_t* v, int n) { writer(d).writeI2(v, n); };
    s.writeI4 = [](void* d, const int32_t* v, int n) { writer(d).writeI4(v, n); };
    s.writeU4 = [](void* d, const uint32_t* v, int n) { writer(d).writeU4(v, n); };
    s.writeFP = [](void* d, const float* v, int n) { writer(d).writeFP(v, n); };
    s.writeStr = [](void* d, const char* str) { writer(d).writeStr(str ? str : ""); };
    s.writeRaw = [](void* d, const void* bytes, int n) { writer(d).writeRaw(bytes, n); };
    s.beginBlk = [](void* d, const HostBlockId* id) {
        if (id) writer(d).beginBlk(*id);
    };
    s.endBlk = [](void* d) { writer(d).endBlk(); };
    s.depth = [](void* d) { return writer(d).depth(); };
    return s;
}

HostLoadState loadState(int ioMode, StreamReader* r) {
    HostLoadState s{};
    s.ioMode = ioMode;
    s.data = r;
    s.readI2 = [](void* d, int16_t* v, int n) { return reader(d).readI2(v, n); };
    s.readI4 = [](void* d, int32_t* v, int n) { return reader(d).readI4(v, n); };
    s.readU4 = [](void* d, uint32_t* v, int n) { return reader(d).readU4(v, n); };
    s.readFP = [](void* d, float* v, int n) { return reader(d).readFP(v, n); };
    s.readStr = [](void* d, char* buf, int max) { return reader(d).readStr(buf, max); };
    s.readRaw = [](void* d, void* bytes, int n) { return reader(d).readRaw(bytes, n); };
    s.findBlk = [](void* d, const HostBlockId* table) { return table ? reader(d).findBlk(table) : 0u; };
    s.endBlk = [](void* d) { reader(d).endBlk(); };
    s.depth = [](void* d) { return reader(d).depth(); };
    return s;
}

bool isBinary(const std::string& data) { return data.starts_with(kBinarySignature); }
}  // namespace

SaveStream::SaveStream(int ioMode)
    : writer_(ioMode == HOST_IO_TEXT ? makeTextWriter() : makeBinaryWriter()),
      state_(saveState(ioMode == HOST_IO_TEXT ? HOST_IO_TEXT : HOST_IO_BINARY, writer_.get())) {}

SaveStream::~SaveStream() = default;
SaveStream::SaveStream(SaveStream&&) noexcept = default;
SaveStream& SaveStream::operator=(SaveStream&&) noexcept = default;

std::string SaveStream::bytes() const { return writer_->bytes(); }

bool SaveStream::empty() const { return bytes() == SaveStream(state_.ioMode).bytes(); }

LoadStream::LoadStream(std::string data) {
    const int form = isBinary(data) ? HOST_IO_BINARY : HOST_IO_TEXT;
    reader_ = form == HOST_IO_BINARY ? makeBinaryReader(std::move(data)) : makeTextReader(std::move(data));
    state_ = loadState(form, reader_.get());
}

LoadStream::~LoadStream() = default;
LoadStream::LoadStream(LoadStream&&) noexcept = default;
LoadStream& LoadStream::operator=(LoadStream&&) noexcept = default;

bool LoadStream::failed() const { return reader_->failed(); }

}  // namespace vxs
