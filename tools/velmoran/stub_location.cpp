#include "stub_location.h"

#include <cstdlib>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "common/failure.h"
#include "quoted.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

constexpr char kStubName[] = "velmoran-stub.exe";

// The folder of this program, wherever it was started from.
fs::path OwnFolder(const fs::path& argv0) {
    std::error_code error;
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, sizeof buffer / sizeof buffer[0]);
    if (length > 0 && length < sizeof buffer / sizeof buffer[0]) return fs::path(std::wstring(buffer, length)).parent_path();
#else
    const fs::path own = fs::read_symlink("/proc/self/exe", error);
    if (!error) return own.parent_path();
#endif
    return fs::absolute(argv0, error).parent_path();
}

}  // namespace

fs::path FindStub(const fs::path& argv0) {
    if (const char* fromEnvironment = std::getenv("VELMORAN_STUB"); fromEnvironment && *fromEnvironment) {
        const fs::path named = fs::u8path(fromEnvironment);
        if (fs::exists(named)) return named;
        throw Failure("stub " + Quoted(named) + " (named by VELMORAN_STUB): not found");
    }
    const fs::path own = OwnFolder(argv0);
    const std::vector<fs::path> places = {own / kStubName, (own / ".." / "share" / "velmoran" / kStubName).lexically_normal()};
    std::string looked;
    for (const fs::path& place : places) {
        std::error_code error;
        if (fs::exists(place, error)) return place;
        looked += "\n    " + place.u8string();
    }
    throw Failure(std::string("stub not found; name one with --stub FILE or VELMORAN_STUB, or put ") + kStubName +
                  " in one of the places looked at:" + looked);
}

}  // namespace velmoran::builder
