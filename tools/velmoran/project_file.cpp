#include "project_file.h"

#include <fstream>
#include <map>

#include "common/failure.h"
#include "code_page.h"
#include "common/utf8.h"
#include "common/path.h"
#include "identity_resources.h"

namespace velmoran::builder {
namespace fs = std::filesystem;
namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

class ProjectParser {
public:
    explicit ProjectParser(const fs::path& file) : file_(file) {}

    Project Parse() {
        std::ifstream in(file_, std::ios::binary);
        if (!in) throw Failure(file_.string() + ": cannot open the project file");
        std::string line, section;
        for (int number = 1; std::getline(in, line); ++number) {
            if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
            line = Trim(line);
            if (line.empty() || line[0] == ';' || line[0] == '#') continue;
            if (!IsUtf8(line)) throw Error(number, "not UTF-8 text (save the project file as UTF-8)");
            if (line.front() == '[' && line.back() == ']') {
                section = AsciiLower(Trim(line.substr(1, line.size() - 2)));
                if (section != "application" && section != "shortcuts" && !RegistrationSections::Holds(section))
                    throw Error(number, "unknown section [" + line.substr(1, line.size() - 2) + "]");
                continue;
            }
            const auto equals = line.find('=');
            if (equals == std::string::npos) throw Error(number, "expected Name=Value");
            const std::string key = Trim(line.substr(0, equals));
            const std::string value = Trim(line.substr(equals + 1));
            if (section == "shortcuts") {
                project_.shortcuts.emplace_back(key, value);
            } else if (section == "application") {
                Take(number, key, value);
            } else if (!section.empty()) {
                try {
                    registrations_.Take(section, number, key, value);
                } catch (const Failure& failure) {
                    throw Error(number, failure.what());
                }
            } else {
                throw Error(number, "Name=Value outside a section; start with [Application]");
            }
        }
        return Finish();
    }

private:
    Failure Error(int line, const std::string& reason) const {
        return Failure(file_.string() + ":" + std::to_string(line) + ": " + reason);
    }

    void Take(int line, const std::string& key, const std::string& value) {
        static const char* const kKeys[] = {"name",      "mainprogram", "mainshortcut", "targetfolder", "source",
                                            "splash",    "icon",        "about",        "licence",      "license",
                                            "setupicon", "version",     "publisher",    "copyright",    "website",
                                            "supporturl", "scope", "compression", "desktopshortcut"};
        std::string k = AsciiLower(key);
        if (k == "license") k = "licence";
        bool known = false;
        for (const char* known_key : kKeys) known = known || k == known_key;
        if (!known) throw Error(line, "unknown key '" + key + "'");
        if (!values_.emplace(k, value).second) throw Error(line, "'" + key + "' is given twice");
    }

    std::string Required(const char* key) const {
        const auto it = values_.find(key);
        if (it == values_.end() || it->second.empty())
            throw Failure(file_.string() + ": [Application] needs a value for '" + key + "'");
        return it->second;
    }

    std::string Optional(const char* key) const {
        const auto it = values_.find(key);
        return it == values_.end() ? std::string() : it->second;
    }

    fs::path Path(const char* key, bool required) const {
        const auto it = values_.find(key);
        if (it == values_.end() || it->second.empty()) {
            if (required) Required(key);
            return fs::path();
        }
        const fs::path p = fs::u8path(it->second);
        return p.is_absolute() ? p : file_.parent_path() / p;
    }

    Project Finish() {
        // Every missing value at once, so they can all be fixed in one go.
        std::string missing;
        for (const char* key : {"name", "mainprogram", "mainshortcut", "targetfolder", "source", "about", "licence"}) {
            const auto it = values_.find(key);
            if (it == values_.end() || it->second.empty()) missing += std::string(missing.empty() ? "" : ", ") + "'" + key + "'";
        }
        if (!missing.empty()) throw Failure(file_.string() + ": [Application] needs a value for " + missing);
        project_.file = file_;
        project_.name = Required("name");
        project_.mainProgram = Required("mainprogram");
        project_.mainShortcut = Required("mainshortcut");
        project_.targetFolder = Required("targetfolder");
        project_.source = Path("source", true);
        project_.splash = Path("splash", false);
        project_.icon = Path("icon", false);
        project_.about = Path("about", true);
        project_.licence = Path("licence", true);
        project_.setupIcon = Path("setupicon", false);
        project_.version = Optional("version");
        project_.publisher = Optional("publisher");
        project_.copyright = Optional("copyright");
        project_.website = Optional("website");
        project_.supportUrl = Optional("supporturl");
        // Apps & features offers these as links: only web addresses, and over https.
        for (const auto& [key, value] : {std::pair{"Website", &project_.website}, {"SupportUrl", &project_.supportUrl}})
            if (!value->empty() && (value->rfind("https://", 0) != 0 || value->size() == 8))
                throw Failure(file_.string() + ": " + key + " \"" + *value + "\": an https:// address");
        const std::string scope = AsciiLower(Optional("scope"));
        if (!scope.empty() && scope != "machine" && scope != "user")
            throw Failure(file_.string() + ": Scope \"" + Optional("scope") + "\": machine or user");
        project_.perUser = scope == "user";
        const std::string compression = AsciiLower(Optional("compression"));
        if (!compression.empty() && compression != "zlib" && compression != "lzma")
            throw Failure(file_.string() + ": Compression \"" + Optional("compression") + "\": zlib or lzma");
        project_.solid = compression == "lzma";
        try {
            registrations_.TakeDesktopShortcut(Optional("desktopshortcut"));
        } catch (const Failure& failure) {
            throw Failure(file_.string() + ": " + failure.what());
        }
        project_.registrations = registrations_.registrations;
        project_.registeredPaths = registrations_.references;
        if (!project_.version.empty() && !ParseVersion(project_.version))
            throw Failure(file_.string() + ": Version \"" + project_.version +
                          "\": one to four numbers from 0 to 65535, separated by dots");
        // These become the installer file's version information.
        for (const auto& [key, value] : {std::pair{"Name", &project_.name}, {"Publisher", &project_.publisher},
                                         {"Copyright", &project_.copyright}}) {
            const std::size_t characters = DecodeUtf8(*value)->size();
            if (characters > kMaxVersionText)
                throw Failure(file_.string() + ": " + key + " is " + std::to_string(characters) +
                              " characters long; the installer's version information takes at most " +
                              std::to_string(kMaxVersionText));
        }
        return project_;
    }

    fs::path file_;
    std::map<std::string, std::string> values_;
    RegistrationSections registrations_;
    Project project_;
};

}  // namespace

Project ReadProject(const fs::path& file) { return ProjectParser(file).Parse(); }

}  // namespace velmoran::builder
