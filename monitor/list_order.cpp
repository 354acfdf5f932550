#include "monitor/list_order.h"

#include <algorithm>
#include <cstdlib>

namespace {

const std::string& text_of(const Row& row, int column) {
    static const std::string none;
    return static_cast<std::size_t>(column) < row.size() ? row[static_cast<std::size_t>(column)].text : none;
}

unsigned char folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

int compare_texts(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i)
        if (folded(a[i]) != folded(b[i]))
            return folded(a[i]) < folded(b[i]) ? -1 : 1;
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// A text without a leading number sorts after every number.
int compare_numbers(const std::string& a, const std::string& b) {
    char* a_end = nullptr;
    char* b_end = nullptr;
    const long long x = std::strtoll(a.c_str(), &a_end, 10);
    const long long y = std::strtoll(b.c_str(), &b_end, 10);
    const bool a_number = a_end != a.c_str(), b_number = b_end != b.c_str();
    if (a_number != b_number)
        return a_number ? -1 : 1;
    if (a_number && x != y)
        return x < y ? -1 : 1;
    return compare_texts(a, b);
}

}  // namespace

ListOrder clicked(ListOrder order, int column) {
    if (order.column == column)
        return {column, !order.descending};
    return {column, false};
}

std::vector<std::size_t> ordered_rows(const std::vector<Row>& rows, std::vector<std::size_t> shown,
                                      const ListOrder& order, bool numeric) {
    if (order.column < 0)
        return shown;
    std::stable_sort(shown.begin(), shown.end(), [&](std::size_t a, std::size_t b) {
        const std::string& x = text_of(rows[a], order.column);
        const std::string& y = text_of(rows[b], order.column);
        const int sign = numeric ? compare_numbers(x, y) : compare_texts(x, y);
        return order.descending ? sign > 0 : sign < 0;
    });
    return shown;
}
