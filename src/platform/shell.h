#pragma once
// Shortcut files and starting documents or programs through the shell.

#include <string>

namespace velmoran::platform {

enum class ShowCommand { Normal = 1, Minimised = 2 };

// The longest file or parameter text Launch passes on; its buffers hold 1025 bytes.
inline constexpr std::size_t kLaunchTextLimit = 1024;

class Shell {
public:
    virtual ~Shell() = default;

    // Writes a .lnk at `linkPath` pointing at `target`, with `description` and the
    // target's folder (trailing backslash kept) as working folder. Throws when the
    // shell-link object cannot be made; a link that cannot be saved is silently
    // missing.
    virtual void CreateShortcut(const std::string& description, const std::string& linkPath,
                                const std::string& target) = 0;
    // Opens `file` with its default action. True when the shell accepted it; a
    // file or parameter text longer than kLaunchTextLimit starts nothing.
    virtual bool Launch(const std::string& file, const std::string& parameters, ShowCommand show) = 0;
};

}  // namespace velmoran::platform
