// velmoran: builds installers and inspects them.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "build_command.h"
#include "code_page.h"
#include "velmoran_version.h"
#include "common/failure.h"
#include "payload/compress.h"
#include "inspect_commands.h"

namespace {

using velmoran::Failure;
namespace fs = std::filesystem;
namespace builder = velmoran::builder;

std::string VersionLine() {
    const std::string commit = VELMORAN_COMMIT;
    return std::string("velmoran ") + VELMORAN_VERSION + (commit.empty() ? "" : " (commit " + commit + ")");
}

const char kUsage[] =
    "usage: velmoran build PROJECT -o OUT [--stub FILE] [--scramble]\n"
    "                      [--compression zlib|lzma] [--level 1-12] [-j N]\n"
    "                      [--sign COMMAND]\n"
    "       velmoran list INSTALLER\n"
    "       velmoran verify INSTALLER\n"
    "       velmoran extract INSTALLER DIR\n"
    "       velmoran --version\n"
    "\n"
    "build    packs the application described by the project file PROJECT into\n"
    "         the installer OUT. Every file under the project's Source folder is\n"
    "         packed, sorted by path (lzma: by extension, then path). OUT\n"
    "         appears only when it is complete.\n"
    "  -o OUT         the installer to write\n"
    "  --stub FILE    the program image to put in front of the payload (default:\n"
#ifdef _WIN32
    "                 $VELMORAN_STUB, else velmoran-stub.exe beside this tool)\n"
#else
    "                 $VELMORAN_STUB, else velmoran-stub.exe beside this tool,\n"
    "                 else ../share/velmoran/velmoran-stub.exe from this tool)\n"
#endif
    "  --scramble     write the scrambled variant of the payload\n"
    "  --compression zlib|lzma\n"
    "                 zlib: one stream per file, the fastest to install; lzma:\n"
    "                 one solid LZMA2 stream, the smallest installer (default:\n"
    "                 the project's Compression=, else zlib)\n"
    "  --level N      1 (fast) to 12 (small; default). zlib: libdeflate's level;\n"
    "                 lzma: the xz preset min(N, 9), its extreme variant from 10\n"
    "  -j N           compress on N threads (default: every core)\n"
    "  --sign COMMAND run COMMAND on the finished installer before it gets its\n"
    "                 name (default: $VELMORAN_SIGN); {file} is the file to sign\n"
    "                 in place, or {in} and {out} for tools that write a new one:\n"
    "                   signtool sign /fd sha256 /f cert.pfx /p PASS {file}\n"
    "                   osslsigncode sign -pkcs12 cert.pfx -pass PASS -in {in} -out {out}\n"
    "                 It runs through the system's shell, is never printed, and a\n"
    "                 failure (its output is shown) leaves no installer\n"
    "list     prints an installer's settings and its file table (path, size)\n"
    "verify   reads every item of an installer and checks every stream, size\n"
    "         and the checksum; exits 0 only when all is sound\n"
    "extract  writes an installer's application files under DIR\n"
    "\n"
    "list and verify also take an uninstaller copy (uninstall.exe); extract\n"
    "refuses one, as it carries no file data.\n"
    "Exit status: 0 success, 1 failure, 2 wrong usage, 3 (verify) sound but a\n"
    "scrambled uninstaller copy's checksum could not be checked.\n";

struct UsageError {
    std::string message;
};

int ParseNumber(const std::string& option, const std::string& text, int low, int high) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < low || value > high)
        throw UsageError{option + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high)};
    return static_cast<int>(value);
}

builder::BuildOptions ParseBuild(const std::vector<std::string>& args) {
    builder::BuildOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
            return args[++i];
        };
        if (arg == "-o" || arg == "--output") options.output = fs::u8path(value());
        else if (arg == "--stub") options.stub = fs::u8path(value());
        else if (arg == "--scramble") options.scramble = true;
        else if (arg == "--level") options.level = ParseNumber(arg, value(), 1, velmoran::payload::kMaxZlibLevel);
        else if (arg == "--compression") {
            options.compression = value();
            if (options.compression != "zlib" && options.compression != "lzma")
                throw UsageError{"--compression takes zlib or lzma"};
        }
        else if (arg == "--sign") options.signCommand = value();
        else if (arg == "-j" || arg == "--jobs") options.threads = static_cast<unsigned>(ParseNumber(arg, value(), 1, 256));
        else if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
        else positional.push_back(arg);
    }
    if (positional.size() != 1) throw UsageError{"build takes one project file"};
    if (options.output.empty()) throw UsageError{"build needs -o OUT"};
    options.project = fs::u8path(positional[0]);
    if (options.signCommand.empty())
        if (const char* fromEnvironment = std::getenv("VELMORAN_SIGN")) options.signCommand = fromEnvironment;
    return options;
}

void RequireCount(const std::vector<std::string>& args, std::size_t count, const char* command) {
    if (args.size() != count) throw UsageError{std::string(command) + " takes " + std::to_string(count) + " argument" + (count > 1 ? "s" : "")};
    for (const std::string& arg : args)
        if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
}

int Run(const char* argv0, const std::string& command, const std::vector<std::string>& args) {
    if (command == "build") {
        builder::BuildOptions options = ParseBuild(args);
        options.argv0 = argv0;
        builder::RunBuild(options);
    } else if (command == "list") {
        RequireCount(args, 1, "list");
        builder::RunList(fs::u8path(args[0]));
    } else if (command == "verify") {
        RequireCount(args, 1, "verify");
        return builder::RunVerify(fs::u8path(args[0]));
    } else if (command == "extract") {
        RequireCount(args, 2, "extract");
        builder::RunExtract(fs::u8path(args[0]), fs::u8path(args[1]));
    } else {
        throw UsageError{"unknown command " + command};
    }
    return 0;
}

void PrintHelp(std::FILE* to) { std::fprintf(to, "%s: builds installers and inspects them\n\n%s", VersionLine().c_str(), kUsage); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (!std::strcmp(argv[1], "--version") || !std::strcmp(argv[1], "-V")) {
        std::printf("%s\n", VersionLine().c_str());
        return 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            PrintHelp(stdout);
            return 0;
        }
    }
    try {
        return Run(argv[0], argv[1], args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "velmoran: %s\n%s", error.message.c_str(), kUsage);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "velmoran: error: %s\n", builder::Printable(error.what()).c_str());
        return 1;
    }
}
