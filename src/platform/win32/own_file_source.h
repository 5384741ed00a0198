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
    void Close() override { file_.Close(); }

private:
    std::string path_;
    FileHandle file_;
};

}  // namespace velmoran::platform::win32
