#include "progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define VELMORAN_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define VELMORAN_ISATTY(fd) isatty(fd)
#endif

namespace velmoran::builder {

bool ErrorIsTerminal() { return VELMORAN_ISATTY(2) != 0; }

Progress::Progress(std::string label, uint64_t total)
    : label_(std::move(label)), total_(total), visible_(ErrorIsTerminal()) {
    Draw();
}

Progress::~Progress() {
    if (visible_ && shownPercent_ >= 0) std::fputs("\n", stderr);
}

void Progress::Advance(uint64_t amount) {
    done_ += amount;
    Draw();
}

void Progress::Draw() {
    if (!visible_) return;
    const int percent = total_ ? static_cast<int>(done_ * 100 / total_) : 100;
    if (percent == shownPercent_) return;
    shownPercent_ = percent;
    const int filled = percent * 30 / 100;
    std::fprintf(stderr, "\r%s [%.*s%.*s] %3d%%", label_.c_str(), filled, "##############################",
                 30 - filled, "..............................", percent);
    std::fflush(stderr);
}

}  // namespace velmoran::builder
