#pragma once
// The setup log (/LOG): one UTF-8 line per step of an installation or
// uninstall, each behind its local time, for administrators and deployment
// tools. Lines written before the file exists (the application's name, which
// names the file, is read first) are kept and written when it is opened.

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"
#include "setup/run_report.h"

namespace velmoran::setup {

class SetupLog {
public:
    // `now` gives the local time as "yyyy-mm-dd hh:mm:ss"; `toUtf8` converts a
    // text of the installer's code page. `file` empty: a new file in the
    // temporary folder, never one that exists; else that file, replaced.
    using Clock = std::string (*)();
    using Conversion = std::string (*)(const std::string&);
    SetupLog(std::string file, Clock now, Conversion toUtf8);

    void Line(const std::string& text);

    // Creates the file; the kept lines go in first. An error text naming the
    // file and the reason when it cannot be made.
    std::string Open(platform::FileSystem& files, const std::string& appName);
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

private:
    void Write(const std::string& bytes);

    std::string path_;
    Clock now_;
    Conversion toUtf8_;
    std::unique_ptr<platform::WritableFile> file_;
    std::string kept_;
};

// Passes a run's report on and writes each step to the log as well.
class LoggedReport : public RunReport {
public:
    LoggedReport(RunReport& inner, SetupLog* log) : inner_(inner), log_(log) {}

    void StartProgress(long long total) override { inner_.StartProgress(total); }
    void Advance(long long amount) override { inner_.Advance(amount); }
    void KeepResponsive() override { inner_.KeepResponsive(); }
    bool Ask(const std::string& question) override;
    void Tell(Notice kind, const std::string& message) override;
    void Status(const std::string& text) override { inner_.Status(text); }
    void Record(const std::string& step) override;

private:
    RunReport& inner_;
    SetupLog* log_;
};

// A report with nobody behind it: no window, every question answered with its
// default. Steps and messages reach only the setup log it is wrapped in.
class UnattendedReport : public RunReport {
public:
    void StartProgress(long long) override {}
    void Advance(long long) override {}
    void KeepResponsive() override {}
    bool Ask(const std::string&) override { return true; }
    void Tell(Notice, const std::string&) override {}
    void Status(const std::string&) override {}
};

// Writes every registry change to the log, then makes it.
class LoggedRegistry : public platform::Registry {
public:
    LoggedRegistry(platform::Registry& inner, SetupLog* log) : inner_(inner), log_(log) {}

    std::string ReadString(platform::Hive hive, const std::string& key, const std::string& name,
                           platform::KeyAccess access) override {
        return inner_.ReadString(hive, key, name, access);
    }
    bool WriteString(platform::Hive hive, const std::string& key, const std::string& name,
                     const std::string& text) override;
    bool WriteNumber(platform::Hive hive, const std::string& key, const std::string& name, uint32_t number) override;
    void DeleteKeyTree(platform::Hive hive, const std::string& key) override;
    std::optional<platform::RegistryValue> QueryValue(platform::Hive hive, const std::string& key,
                                                      const std::string& name) override {
        return inner_.QueryValue(hive, key, name);
    }
    bool SetValue(platform::Hive hive, const std::string& key, const std::string& name,
                  const platform::RegistryValue& value) override;
    bool DeleteValue(platform::Hive hive, const std::string& key, const std::string& name) override;
    bool KeyExists(platform::Hive hive, const std::string& key) override { return inner_.KeyExists(hive, key); }
    void DeleteKeyIfEmpty(platform::Hive hive, const std::string& key) override { inner_.DeleteKeyIfEmpty(hive, key); }

private:
    void Note(bool written, platform::Hive hive, const std::string& key, const std::string& what);

    platform::Registry& inner_;
    SetupLog* log_;
};

}  // namespace velmoran::setup
