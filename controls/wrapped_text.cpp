#include "controls/wrapped_text.h"

CharWidths::CharWidths(std::function<int(unsigned code)> measure) : measure_(std::move(measure)), cache_(0x10000, -1) {}

WrappedText::WrappedText(std::string text, int width, CharWidths& widths) : text_(std::move(text)) {
    for (std::size_t at = 0; at < text_.size();) {
        auto lf = text_.find('\n', at);
        std::size_t end = lf == std::string::npos ? text_.size() : lf;
        std::size_t next = lf == std::string::npos ? text_.size() : lf + 1;
        if (end > at && text_[end - 1] == '\r')
            --end;
        wrap_line(at, end, width, widths);
        at = next;
    }
}

void WrappedText::wrap_line(std::size_t begin, std::size_t end, int width, CharWidths& widths) {
    std::size_t at = begin;
    do {
        int used = 0;
        std::size_t p = at;
        std::size_t after_space = at;
        while (p < end) {
            std::size_t length = 1;
            int w = widths.at(text_, p, end, length);
            bool space = text_[p] == ' ';
            // Spaces may overhang the row's end; anything else must fit.
            if (!space && p > at && used + w > width)
                break;
            used += w;
            p += length;
            if (space)
                after_space = p;
        }
        if (p < end && after_space > at)
            p = after_space;
        rows_.push_back({at, p});
        at = p;
    } while (at < end);
}

std::string_view WrappedText::row(std::size_t i) const {
    return std::string_view(text_).substr(rows_[i].begin, rows_[i].end - rows_[i].begin);
}
