#include "controls/log_view_model.h"

#include <algorithm>

void LogViewModel::show(std::string text, int width, CharWidths& widths) {
    wrapped_ = WrappedText(std::move(text), width, widths);
    top_ = anchor_ = caret_ = 0;
}

void LogViewModel::scroll_to(long long row, std::size_t page) {
    long long last_top = static_cast<long long>(rows()) - static_cast<long long>(page);
    top_ = static_cast<std::size_t>(std::max(0LL, std::min(row, last_top)));
}

std::size_t LogViewModel::offset_at(std::size_t row, int x, CharWidths& widths) const {
    if (row >= rows())
        return text().size();
    std::size_t at = wrapped_.begin(row);
    for (int left = 0; at < wrapped_.end(row);) {
        std::size_t length = 1;
        int w = widths.at(text(), at, wrapped_.end(row), length);
        if (x < left + (w + 1) / 2)
            break;
        left += w;
        at += length;
    }
    return at;
}

int LogViewModel::x_of(std::size_t row, std::size_t offset, CharWidths& widths) const {
    int x = 0;
    for (std::size_t at = wrapped_.begin(row); at < offset && at < wrapped_.end(row);) {
        std::size_t length = 1;
        x += widths.at(text(), at, wrapped_.end(row), length);
        at += length;
    }
    return x;
}

void LogViewModel::select(std::size_t anchor, std::size_t caret) {
    anchor_ = std::min(anchor, text().size());
    caret_ = std::min(caret, text().size());
}

std::string_view LogViewModel::selected() const {
    auto [from, to] = std::minmax(anchor_, caret_);
    return std::string_view(text()).substr(from, to - from);
}

std::pair<std::size_t, std::size_t> LogViewModel::selected_in_row(std::size_t row) const {
    auto [from, to] = std::minmax(anchor_, caret_);
    std::size_t begin = std::max(from, wrapped_.begin(row));
    std::size_t end = std::min(to, wrapped_.end(row));
    return begin < end ? std::make_pair(begin, end) : std::make_pair(begin, begin);
}
