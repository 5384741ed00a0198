#include "fake_shell.h"

#include "common/failure.h"
#include "common/path.h"

namespace velmoran::testing {

void FakeShell::CreateShortcut(const std::string& description, const std::string& linkPath, const std::string& target) {
    if (failObject_) throw Failure("Class not registered");
    shortcuts_.push_back({description, linkPath, target, FolderPart(target)});
    if (files_.FolderExists(FolderPart(linkPath))) files_.AddFile(linkPath, "shortcut to " + target);
}

bool FakeShell::Launch(const std::string& file, const std::string& parameters, platform::ShowCommand show) {
    if (file.size() > platform::kLaunchTextLimit || parameters.size() > platform::kLaunchTextLimit) return false;
    launches_.push_back({file, parameters, show});
    return files_.FileExists(file);
}

}  // namespace velmoran::testing
