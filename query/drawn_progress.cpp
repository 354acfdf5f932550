#include "query/drawn_progress.h"

namespace {
constexpr long kMin = 1;
}

DrawnProgress::DrawnProgress(long counter, int width) : max_(static_cast<int>(counter & 0xFFFF)), width_(width) {}

int DrawnProgress::pixel(long line) const {
    if (max_ <= kMin || line <= kMin)
        return 0;
    if (line >= max_)
        return width_;
    return static_cast<int>((line - kMin) * width_ / (max_ - kMin));
}

bool DrawnProgress::moves(long line) {
    int at = pixel(line);
    if (at == drawn_)
        return false;
    drawn_ = at;
    return true;
}
