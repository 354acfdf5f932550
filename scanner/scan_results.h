// The result rows as the scanner keeps them: each answer's texts as the GBK
// bytes taken from the datagram, so the report never goes through the list's
// UTF-16 text. Every scan's rows follow the rows of earlier scans, in address
// order among themselves whatever order the answers came in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scanner/node_status.h"
#include "scanner/scan_range.h"

class ScanResults {
public:
    // The rows added from now on belong to a new scan.
    void begin_scan();
    // Places the row of `address` among this scan's rows; returns its index
    // in the whole list, where the list view gets it too.
    std::size_t add(const Octets& address, NodeStatusRow row);
    const std::vector<NodeStatusRow>& rows() const { return rows_; }

private:
    std::vector<NodeStatusRow> rows_;
    std::vector<std::uint32_t> scan_addresses_;  // of this scan's rows, ascending
    std::size_t scan_first_ = 0;
};
