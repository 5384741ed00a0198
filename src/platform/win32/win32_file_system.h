#pragma once

#include "platform/file_system.h"

namespace velmoran::platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    std::string FinalFolderPath(const std::string& folder, LinkAtFolder atFolder) override;
    std::unique_ptr<WritableFile> CreateFileWithin(const std::string& path, const std::string& finalFolder) override;
    Removal RemoveFileWithin(const std::string& path, const std::string& finalFolder) override;
    bool RemoveFolderWithin(const std::string& folder, const std::string& finalFolder) override;
    std::unique_ptr<WritableFile> CreateNewFile(const std::string& path) override;
    Bytes ReadWholeFile(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string CreateFolder(const std::string& path, FolderRights rights) override;
    bool OthersMayChange(const std::string& folder) override;
    std::optional<std::string> FinalFilePath(const std::string& path) override;
    std::string LongPath(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::vector<std::string> ListFolder(const std::string& pattern) override;
    std::string CurrentFolder() override;
    bool IsLink(const std::string& path) override;
    bool RemoveLink(const std::string& path) override;
    bool ReplaceAtRestart(const std::string& source, const std::string& target) override;
    bool DeleteAtRestartWithin(const std::string& path, const std::string& finalFolder) override;
    std::string TemporaryFolder() override;
    std::string SystemFolder() override;
};

}  // namespace velmoran::platform::win32
