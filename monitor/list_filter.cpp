#include "monitor/list_filter.h"

#include <algorithm>

#include "common/gbk_text.h"

std::vector<std::size_t> rows_containing(const std::vector<Row>& rows, const std::string& text) {
    std::vector<std::size_t> kept;
    kept.reserve(text.empty() ? rows.size() : 0);
    const std::string wanted = gbk::fold_ascii(text);
    for (std::size_t index = 0; index < rows.size(); ++index)
        if (text.empty() || std::any_of(rows[index].begin(), rows[index].end(),
                                        [&](const Cell& cell) { return gbk::contains_folded(cell.text, wanted); }))
            kept.push_back(index);
    return kept;
}
