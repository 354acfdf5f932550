#include "monitor/shown_rows.h"

#include <algorithm>
#include <unordered_map>

#include "common/gbk_text.h"
#include "monitor/list_filter.h"

void ShownRows::apply(const std::vector<ListEdit>& edits) {
    if (edits.empty())
        return;
    apply_edits(copy_, edits);
    copy_.take_edits();  // the copy's own record is not needed
    arrange();
}

void ShownRows::sort_by(int column) {
    order_ = clicked(order_, column);
    arrange();
}

void ShownRows::find(const std::string& text) {
    if (text == find_text_)
        return;
    find_text_ = text;
    arrange();
}

void ShownRows::arrange() {
    if (!arranged()) {
        std::vector<std::size_t>().swap(shown_);
        return;
    }
    const bool numeric =
        std::find(numeric_columns_.begin(), numeric_columns_.end(), order_.column) != numeric_columns_.end();
    shown_ = ordered_rows(copy_.rows(), rows_containing(copy_.rows(), find_text_), order_, numeric);
}

std::vector<int> ShownRows::indexes_of(const std::vector<std::string>& keys,
                                       const std::vector<int>& key_columns) const {
    std::unordered_map<std::string, int> where;
    for (const std::string& key : keys)
        where.emplace(key, -1);
    std::size_t found = 0;
    for (std::size_t row = 0; row < count() && found < where.size(); ++row) {
        auto key = where.find(row_key(at(row), key_columns));
        if (key != where.end() && key->second < 0) {
            key->second = static_cast<int>(row);
            ++found;
        }
    }
    std::vector<int> indexes;
    indexes.reserve(keys.size());
    for (const std::string& key : keys)
        indexes.push_back(where[key]);
    return indexes;
}

int ShownRows::first_starting_with(const std::string& text, std::size_t from) const {
    const std::string wanted = gbk::fold_ascii(text);
    const std::size_t rows = count();
    for (std::size_t step = 0; step < rows; ++step) {
        const std::size_t index = (from + step) % rows;
        const Row& row = at(index);
        if (!row.empty() && gbk::fold_ascii(row[0].text.substr(0, wanted.size())) == wanted)
            return static_cast<int>(index);
    }
    return -1;
}
