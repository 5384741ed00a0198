// A tiny program for launch tests: writes "ran" and its arguments into the file
// named by its first argument, or into marker.txt beside itself.

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    std::string target = argc > 1 ? argv[1] : "";
    if (target.empty()) {
        target = argv[0];
        const auto slash = target.find_last_of("\\/");
        target = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + "marker.txt";
    }
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (!file) return 1;
    std::fputs("ran", file);
    for (int i = 2; i < argc; ++i) std::fprintf(file, " %s", argv[i]);
    std::fclose(file);
    return 0;
}
