#pragma once
// Where the builder finds the stub when none is named on the command line.

#include <filesystem>

namespace velmoran::builder {

// $VELMORAN_STUB, else velmoran-stub.exe beside this program (a build tree, the
// Windows zip), else ../share/velmoran/velmoran-stub.exe from it (an installed
// tree, the Debian package). Throws Failure listing every place looked at.
std::filesystem::path FindStub(const std::filesystem::path& argv0);

}  // namespace velmoran::builder
