#pragma once
// The programs that hold files an installation replaces (Windows' Restart
// Manager): found, closed before the files are written, started again after.

#include <string>
#include <vector>

namespace velmoran::platform {

class RunningPrograms {
public:
    virtual ~RunningPrograms() = default;

    // The names of the programs holding any of `files`; empty when none, or
    // when the system cannot tell. The files are remembered for Close.
    virtual std::vector<std::string> Holding(const std::vector<std::string>& files) = 0;
    // Asks the programs Holding found to close; false when some stay.
    virtual bool Close() = 0;
    // Starts again the programs Close closed that asked for it.
    virtual void Restart() = 0;
};

}  // namespace velmoran::platform
