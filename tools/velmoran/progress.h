#pragma once
// A one-line progress bar on standard error, drawn only when it is a terminal.

#include <cstdint>
#include <string>

namespace velmoran::builder {

// True when standard error is a terminal (a person is watching).
bool ErrorIsTerminal();

class Progress {
public:
    Progress(std::string label, uint64_t total);
    ~Progress();
    void Advance(uint64_t amount);
    bool Visible() const { return visible_; }

private:
    void Draw();

    std::string label_;
    uint64_t total_;
    uint64_t done_ = 0;
    int shownPercent_ = -1;
    bool visible_;
};

}  // namespace velmoran::builder
