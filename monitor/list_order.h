// The order a list shows its rows in: the server's, or sorted by one column
// either way. A header click picks the column, a second click reverses it.
#pragma once

#include <cstddef>
#include <vector>

#include "monitor/list_rows.h"

struct ListOrder {
    int column = -1;  // -1: as the server lists them
    bool descending = false;
};

// The order after a click on `column`'s header.
ListOrder clicked(ListOrder order, int column);

// `shown` (indexes into `rows`) in `order`, stably, so rows that compare
// equal keep the order they came in (the server's). A column of `numeric` texts compares by their leading whole number
// ("12秒" before "100秒"); other texts compare case-blind for ASCII, then
// byte by byte, which in GBK puts the common characters in pinyin order.
std::vector<std::size_t> ordered_rows(const std::vector<Row>& rows, std::vector<std::size_t> shown,
                                      const ListOrder& order, bool numeric);
