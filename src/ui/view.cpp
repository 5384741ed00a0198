#include "ui/view.h"

namespace velmoran::ui {

std::string FailureBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

}  // namespace velmoran::ui
