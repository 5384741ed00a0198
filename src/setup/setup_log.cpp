#include "setup/setup_log.h"

#include <exception>

#include "common/path.h"
#include "common/windows_names.h"

namespace velmoran::setup {

SetupLog::SetupLog(std::string file, Clock now, Conversion toUtf8)
    : path_(std::move(file)), now_(now), toUtf8_(toUtf8) {}

void SetupLog::Line(const std::string& text) {
    std::string line = now_() + "  " + toUtf8_(text);
    // One step, one line: a line break inside a message would pose as a step of its own.
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    Write(line + "\r\n");
}

void SetupLog::Write(const std::string& bytes) {
    if (!file_) {
        kept_ += bytes;
        return;
    }
    try {
        file_->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    } catch (const std::exception&) {
        // A log that fills the drive must not stop the installation it reports on.
    }
}

namespace {

// The log's path made full: a relative one is taken from the current folder.
std::string FullLogPath(platform::FileSystem& files, const std::string& path) {
    std::string full = path;
    if (full.rfind("\\\\", 0) != 0 && (full.size() < 2 || full[1] != ':'))
        full = (!full.empty() && full[0] == '\\') ? files.CurrentFolder().substr(0, 2) + full
                                                  : JoinPath(files.CurrentFolder(), full);
    return FullLocalPath(full).value_or(full);
}

// An administrator's log may be named in a folder others can write to: it is
// written new (what stands at its name, a link included, is deleted first),
// and only where it is named, never through a junction or link on the way.
std::unique_ptr<platform::WritableFile> CreateNamedLog(platform::FileSystem& files, const std::string& path) {
    const std::string folder = WithoutTrailingBackslashes(FolderPart(path));
    const std::string finalFolder = files.FinalFolderPath(folder, platform::LinkAtFolder::Refuse);
    // A network drive's final path is its share's; the share's own rights rule there.
    const bool local = finalFolder.size() >= 2 && finalFolder[1] == ':';
    if (local && !EqualsIgnoreCase(finalFolder, files.LongPath(folder)))
        throw Failure("\"" + folder + "\" leads to \"" + finalFolder + "\" through a junction or symbolic link.");
    return files.CreateFileWithin(path, finalFolder);
}

}  // namespace

std::string SetupLog::Open(platform::FileSystem& files, const std::string& appName) {
    try {
        if (!path_.empty()) {
            path_ = FullLogPath(files, path_);
            file_ = CreateNamedLog(files, path_);
        } else {
            std::string stamp = now_();
            for (char& c : stamp)
                if (c == ':') c = '.';
            const std::string stem = JoinPath(files.TemporaryFolder(), (appName.empty() ? "" : appName + " ") + "Setup " + stamp);
            // Two runs in the same second each get a file of their own.
            for (int n = 1; !file_; ++n) {
                path_ = stem + (n == 1 ? "" : " (" + std::to_string(n) + ")") + ".log";
                if (files.FileExists(path_) || files.FolderExists(path_)) continue;
                file_ = files.CreateNewFile(path_);
            }
        }
    } catch (const std::exception& failure) {
        return (path_.empty() ? std::string("The setup log") : "The setup log \"" + path_ + "\"") +
               " cannot be written: " + failure.what();
    }
    std::string kept;
    kept.swap(kept_);
    Write(kept);
    return std::string();
}

bool LoggedReport::Ask(const std::string& question) {
    const bool yes = inner_.Ask(question);
    if (log_) log_->Line("Question: " + question + " Answer: " + (yes ? "Yes" : "No"));
    return yes;
}

void LoggedReport::Tell(Notice kind, const std::string& message) {
    if (log_) log_->Line((kind == Notice::Warning ? "Warning: " : "Error: ") + message);
    inner_.Tell(kind, message);
}

void LoggedReport::Record(const std::string& step) {
    if (log_) log_->Line(step);
    inner_.Record(step);
}

void LoggedRegistry::Note(bool written, platform::Hive hive, const std::string& key, const std::string& what) {
    if (!log_) return;
    const char* root = hive == platform::Hive::LocalMachine ? "HKLM\\" : "HKCU\\";
    log_->Line(std::string(written ? "Registry: " : "Registry, failed: ") + root + key + " " + what);
}

bool LoggedRegistry::WriteString(platform::Hive hive, const std::string& key, const std::string& name,
                                 const std::string& text) {
    const bool written = inner_.WriteString(hive, key, name, text);
    Note(written, hive, key, name + " = " + text);
    return written;
}

bool LoggedRegistry::WriteNumber(platform::Hive hive, const std::string& key, const std::string& name,
                                 uint32_t number) {
    const bool written = inner_.WriteNumber(hive, key, name, number);
    Note(written, hive, key, name + " = " + std::to_string(number) + " (number)");
    return written;
}

bool LoggedRegistry::SetValue(platform::Hive hive, const std::string& key, const std::string& name,
                              const platform::RegistryValue& value) {
    const bool written = inner_.SetValue(hive, key, name, value);
    Note(written, hive, key, (name.empty() ? "(default)" : name) + " = " + platform::ValueText(value));
    return written;
}

bool LoggedRegistry::DeleteValue(platform::Hive hive, const std::string& key, const std::string& name) {
    const bool deleted = inner_.DeleteValue(hive, key, name);
    Note(deleted, hive, key, (name.empty() ? "(default)" : name) + " deleted");
    return deleted;
}

void LoggedRegistry::DeleteKeyTree(platform::Hive hive, const std::string& key) {
    inner_.DeleteKeyTree(hive, key);
    Note(true, hive, key, "deleted");
}

}  // namespace velmoran::setup
