#pragma once

#include "platform/file_system.h"

namespace velmoran::platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    std::unique_ptr<WritableFile> CreateOrReplaceFile(const std::string& path) override;
    std::unique_ptr<WritableFile> CreateNewFile(const std::string& path) override;
    Bytes ReadWholeFile(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& pattern) override;
    std::string CurrentFolder() override;
    bool IsLink(const std::string& path) override;
    bool RemoveLink(const std::string& path) override;
    std::string TemporaryFolder() override;
};

}  // namespace velmoran::platform::win32
