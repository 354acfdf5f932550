#include "monitor/list_filter.h"

#include <algorithm>

#include "common/gbk_text.h"

std::vector<Row> rows_containing(const std::vector<Row>& rows, const std::string& text) {
    if (text.empty())
        return rows;
    const std::string wanted = gbk::fold_ascii(text);
    std::vector<Row> kept;
    for (const Row& row : rows)
        if (std::any_of(
                row.begin(), row.end(), [&](const Cell& cell) { return gbk::contains_folded(cell.text, wanted); }))
            kept.push_back(row);
    return kept;
}
