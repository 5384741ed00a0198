#include "setup/uninstaller_copy.h"

#include <algorithm>
#include <memory>

#include "common/path.h"
#include "payload/format.h"
#include "payload/pe_layout.h"

namespace velmoran::setup {
namespace {

// Passes bytes on until the first write failure, whose reason it keeps.
class WriteUntilFailure : public ByteSink {
public:
    explicit WriteUntilFailure(ByteSink& file) : file_(file) {}
    void Write(const uint8_t* data, std::size_t size) override {
        if (!failure.empty()) return;
        try {
            file_.Write(data, size);
        } catch (const std::exception& problem) {
            failure = problem.what();
        }
    }
    std::string failure;

private:
    ByteSink& file_;
};

}  // namespace

void WriteUninstallerCopy(InstallerState& state, RunReport& report, platform::FileSystem& files,
                          const std::string& finalFolder) {
    state.payload.ReloadImage();
    const uint64_t count = std::min<uint64_t>(state.payload.FileDataStart(), state.payload.FileSize());
    const Bytes headers = payload::UnsignedHeaders(state.payload.ReadStored(0, std::min<uint64_t>(count, payload::kPeHeaderBytes)), count);
    const std::string path = JoinPath(state.installFolder, payload::kUninstallerName);
    std::unique_ptr<platform::WritableFile> copy;
    try {
        copy = files.CreateFileWithin(path, finalFolder);
    } catch (const std::exception& problem) {
        report.Record("Uninstaller not written: " + std::string(problem.what()));
        return;
    }
    WriteUntilFailure sink(*copy);
    sink.Write(headers.data(), headers.size());
    state.payload.CopyStored(headers.size(), count, sink);
    if (!sink.failure.empty()) {
        report.Record("Uninstaller not written: " + sink.failure);
        return;
    }
    report.Advance(static_cast<long long>(count));
    report.Record("Uninstaller: " + path + " (" + std::to_string(count) + " bytes)");
}

}  // namespace velmoran::setup
