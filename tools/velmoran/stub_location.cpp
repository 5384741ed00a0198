#include "stub_location.h"

#include <cstdlib>
#include <optional>
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

// The folder of this program, wherever it was started from; nothing when the
// system cannot say and the command line names no folder (a program found
// through PATH): the current folder is never taken for it.
std::optional<fs::path> OwnFolder(const fs::path& argv0) {
    std::error_code error;
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD length = GetModuleFileNameW(nullptr, buffer, sizeof buffer / sizeof buffer[0]);
    if (length > 0 && length < sizeof buffer / sizeof buffer[0]) return fs::path(std::wstring(buffer, length)).parent_path();
#else
    const fs::path own = fs::read_symlink("/proc/self/exe", error);
    if (!error) return own.parent_path();
#endif
    if (!argv0.has_parent_path()) return std::nullopt;
    const fs::path absolute = fs::absolute(argv0, error);
    if (error) return std::nullopt;
    return absolute.parent_path();
}

// Where a stub is looked for: beside the tool, and on a Unix-like install also
// in the shared data folder. On Windows a zip is unpacked anywhere, and a
// "..\share" from there is nobody's in particular.
std::vector<fs::path> StubPlaces(const fs::path& own) {
    std::vector<fs::path> places = {own / kStubName};
#ifndef _WIN32
    places.push_back((own / ".." / "share" / "velmoran" / kStubName).lexically_normal());
#endif
    return places;
}

}  // namespace

fs::path FindStub(const fs::path& argv0) {
    if (const char* fromEnvironment = std::getenv("VELMORAN_STUB"); fromEnvironment && *fromEnvironment) {
        const fs::path named = fs::u8path(fromEnvironment);
        if (fs::exists(named)) return named;
        throw Failure("stub " + Quoted(named) + " (named by VELMORAN_STUB): not found");
    }
    const auto own = OwnFolder(argv0);
    if (!own)
        throw Failure("stub not found: this tool cannot tell which folder it was started from; name the stub with "
                      "--stub FILE or VELMORAN_STUB");
    std::string looked;
    for (const fs::path& place : StubPlaces(*own)) {
        std::error_code error;
        if (fs::exists(place, error)) return place;
        looked += "\n    " + place.u8string();
    }
    throw Failure(std::string("stub not found; name one with --stub FILE or VELMORAN_STUB, or put ") + kStubName +
                  " in one of the places looked at:" + looked);
}

}  // namespace velmoran::builder
