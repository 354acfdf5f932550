// The log box apart from its window: the text in rows wrapped to the box,
// the first row in view, and the selection as byte offsets into the text, as
// a read-only edit box keeps them. Everything costs the rows in view, never
// the size of the text.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "controls/wrapped_text.h"

class LogViewModel {
public:
    // Replaces the text; the view goes back to the top, the selection away.
    void show(std::string text, int width, CharWidths& widths);

    const std::string& text() const { return wrapped_.text(); }
    std::size_t rows() const { return wrapped_.rows(); }
    std::string_view row(std::size_t i) const { return wrapped_.row(i); }
    std::size_t row_begin(std::size_t i) const { return wrapped_.begin(i); }

    std::size_t top() const { return top_; }
    // Puts `row` first in view, held so that a page of `page` rows stays as
    // full as the text allows.
    void scroll_to(long long row, std::size_t page);

    // The character edge nearest to `x` pixels into row `row`; past the last
    // row, the text's end.
    std::size_t offset_at(std::size_t row, int x, CharWidths& widths) const;
    // Pixels from row `row`'s start to `offset`, which lies in that row.
    int x_of(std::size_t row, std::size_t offset, CharWidths& widths) const;

    // A selection from `anchor` to `caret`; equal offsets select nothing.
    void select(std::size_t anchor, std::size_t caret);
    void extend_to(std::size_t caret) { select(anchor_, caret); }
    void select_all() { select(0, text().size()); }
    // What a copy takes: the text between the ends, line ends included.
    std::string_view selected() const;
    // The selected part of row `row`, as offsets into the text (equal when none).
    std::pair<std::size_t, std::size_t> selected_in_row(std::size_t row) const;

private:
    WrappedText wrapped_;
    std::size_t top_ = 0;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
};
