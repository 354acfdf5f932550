// A text of CR LF lines cut into rows no wider than a box, as an edit box with
// word wrap shows it: a row ends after the last space that fits, or inside a
// word too long for a row; spaces at a row's end may overhang it; a
// double-byte character is never split.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Pixel widths of GBK characters, each measured once: a day's text has few
// distinct characters.
class CharWidths {
public:
    // `measure(code)`: a single byte, or lead byte << 8 | trail byte.
    explicit CharWidths(std::function<int(unsigned code)> measure);

    // The width of the character at `at`, which ends before `end`; its
    // length in bytes goes to `length`.
    int at(const std::string& text, std::size_t at, std::size_t end, std::size_t& length) {
        auto b = static_cast<unsigned char>(text[at]);
        length = b >= 0x81 && b <= 0xFE && at + 1 < end ? 2 : 1;
        unsigned code = length == 2 ? (b << 8) | static_cast<unsigned char>(text[at + 1]) : b;
        auto& w = cache_[code];
        if (w < 0)
            w = static_cast<std::int16_t>(measure_(code));
        return w;
    }

private:
    std::function<int(unsigned)> measure_;
    std::vector<std::int16_t> cache_;
};

class WrappedText {
public:
    WrappedText() = default;
    WrappedText(std::string text, int width, CharWidths& widths);

    const std::string& text() const { return text_; }
    std::size_t rows() const { return rows_.size(); }
    // Row `i` as offsets into the text; its end is before the line end.
    std::size_t begin(std::size_t i) const { return rows_[i].begin; }
    std::size_t end(std::size_t i) const { return rows_[i].end; }
    std::string_view row(std::size_t i) const;

private:
    void wrap_line(std::size_t begin, std::size_t end, int width, CharWidths& widths);

    struct Row {
        std::size_t begin;
        std::size_t end;
    };
    std::string text_;
    std::vector<Row> rows_;
};
