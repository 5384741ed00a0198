#include "ui/dpi_scale.h"

namespace velmoran::ui {

int Scaled(int value, int dpi) {
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi : -((-product + half) / kDesignDpi));
}

ScaledRect ScaledRectangle(int x, int y, int width, int height, int dpi) {
    return {Scaled(x, dpi), Scaled(y, dpi), Scaled(x + width, dpi), Scaled(y + height, dpi)};
}

}  // namespace velmoran::ui
