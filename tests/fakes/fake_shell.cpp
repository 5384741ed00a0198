#include "fake_shell.h"

#include "common/failure.h"
#include "common/path.h"

namespace velmoran::testing {

Bytes FakeShell::ShortcutContent(const std::string& description, const std::string& target) {
    if (failObject_) throw Failure("Class not registered");
    shortcuts_.push_back({description, target, FolderPart(target)});
    const std::string content = description + "\n" + target + "\n" + FolderPart(target);
    return Bytes(content.begin(), content.end());
}

bool FakeShell::Launch(const std::string& file, const std::string& parameters, platform::ShowCommand show,
                       const std::string& workingFolder) {
    if (file.size() > platform::kLaunchTextLimit || parameters.size() > platform::kLaunchTextLimit) return false;
    launches_.push_back({file, parameters, show, workingFolder, false});
    return files_.FileExists(file);
}

}  // namespace velmoran::testing
