#pragma once
// Everything the handlers ask of the system, in one place to pass around.

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/running_programs.h"
#include "platform/shell.h"

namespace velmoran::platform {

struct Platform {
    FileSystem& files;
    Registry& registry;
    Shell& shell;
    RunningPrograms& programs;
    CodePage& codePage;
};

}  // namespace velmoran::platform
