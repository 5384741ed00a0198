#pragma once
// The running program's own file, as the payload reader's source: opened for
// reading with every kind of sharing, so nothing else is locked out.

#include <string>

#include "common/byte_io.h"
#include "platform/win32/handles.h"

namespace velmoran::platform::win32 {

// The running program's full path.
std::string OwnProgramPath();

class OwnFileSource : public ByteSource {
public:
    explicit OwnFileSource(std::string path) : path_(std::move(path)) {}
    void Open() override;
    void ReadAll(Bytes& into) override;
    uint64_t Size() override;
    // Reads at the offset without moving the file pointer; a read error (a lost
    // network share, a removed drive) throws with the system's reason.
    std::size_t ReadAt(uint64_t offset, uint8_t* into, std::size_t count) override;
    void Close() override { file_.Close(); }

private:
    std::string path_;
    FileHandle file_;
};

}  // namespace velmoran::platform::win32
