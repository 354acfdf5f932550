#include "query/text_to_time.h"

#include <cctype>

namespace {

// Reads an unsigned decimal number at `pos`; false when there is none.
bool read_number(const std::string& text, std::size_t& pos, int& value) {
    std::size_t start = pos;
    long v = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && pos - start < 9)
        v = v * 10 + (text[pos++] - '0');
    value = static_cast<int>(v);
    return pos > start;
}

bool read_char(const std::string& text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

bool leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && leap(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<std::time_t> text_to_time(const std::string& text) {
    std::size_t pos = 0;
    int y, mo, d, h, mi, s;
    if (!(read_number(text, pos, y) && read_char(text, pos, '-') && read_number(text, pos, mo) &&
          read_char(text, pos, '-') && read_number(text, pos, d) && read_char(text, pos, ' ') &&
          read_number(text, pos, h) && read_char(text, pos, ':') && read_number(text, pos, mi) &&
          read_char(text, pos, ':') && read_number(text, pos, s) && pos == text.size()))
        return std::nullopt;
    if (y < 1970 || y > 9999 || mo < 1 || mo > 12 || d < 1 || d > days_in_month(y, mo) || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;  // the runtime decides daylight saving
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return std::nullopt;
    return t;
}
