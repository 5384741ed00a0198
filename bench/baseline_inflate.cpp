// The baseline for the installation benchmark: what any program must do to
// install the same files, with the same zlib and nothing else. It reads the
// installer whole, then inflates each stream into its file.
//   baseline_inflate INSTALLER FILE_DATA_START LISTING TARGET_FOLDER
// LISTING holds one "size path" line per file, in entry order.

#include <windows.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    GetFileSizeEx(file, &size);
    std::vector<unsigned char> image(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    for (std::size_t done = 0; done < image.size(); done += got)
        if (!ReadFile(file, image.data() + done, static_cast<DWORD>(image.size() - done), &got, nullptr) || !got) return 1;
    CloseHandle(file);

    // Timed from here: the installer, too, has its file in memory before Install Now.
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);

    std::ifstream listing(argv[3]);
    std::size_t position = std::stoull(argv[2]);
    const std::string target = argv[4];
    std::vector<unsigned char> buffer(64 * 1024);
    long long bytes;
    std::string path;
    while (listing >> bytes && std::getline(listing >> std::ws, path)) {
        const std::string destination = target + "\\" + path;
        for (std::size_t slash = destination.find('\\', 3); slash != std::string::npos; slash = destination.find('\\', slash + 1))
            CreateDirectoryA(destination.substr(0, slash).c_str(), nullptr);
        HANDLE out = CreateFileA(destination.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        z_stream zs{};
        inflateInit(&zs);
        zs.next_in = image.data() + position;
        zs.avail_in = static_cast<uInt>(image.size() - position);
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            zs.next_out = buffer.data();
            zs.avail_out = static_cast<uInt>(buffer.size());
            status = inflate(&zs, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END) return 1;
            DWORD written = 0;
            WriteFile(out, buffer.data(), static_cast<DWORD>(buffer.size() - zs.avail_out), &written, nullptr);
        }
        position += zs.total_in;
        inflateEnd(&zs);
        CloseHandle(out);
    }
    QueryPerformanceCounter(&end);
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return 0;
}
