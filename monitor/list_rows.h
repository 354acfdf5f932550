// How the monitor writes a list view: by row index, appending or removing rows
// only at the end. The window build implements it with synchronous messages to
// the control; tests use an in-memory list.
#pragma once

#include <string>
#include <vector>

constexpr int kNoImage = -1;

struct Cell {
    std::string text;
    int image = kNoImage;
    bool operator==(const Cell& other) const { return text == other.text && image == other.image; }
};
using Row = std::vector<Cell>;

class ListRows {
public:
    virtual ~ListRows() = default;
    virtual int row_count() = 0;
    // Inserts a row at `index` holding the first cell; the others are empty.
    virtual void insert_row(int index, const std::string& text, int image) = 0;
    virtual void set_cell(int row, int column, const std::string& text, int image) = 0;
    virtual std::string cell_text(int row, int column) = 0;
    virtual void delete_row(int row) = 0;
    virtual void delete_all_rows() = 0;
    // The rows as written, for a list that holds them in memory anyway;
    // none for a control, whose cells cost a round trip to read.
    virtual const std::vector<Row>* held_rows() const { return nullptr; }
};

// What names a row: the texts of `key_columns`, joined.
std::string row_key(const Row& row, const std::vector<int>& key_columns);

// Inserts `row` at `index`: the first cell with the row, then the others.
void insert_full_row(ListRows& list, int index, const Row& row);

// Places rows in a list and remembers what it wrote, so a cell whose text and
// image did not change is not sent again; in a list that holds its rows, the
// list's own rows are that memory. Only this writer may change the list's
// rows.
class RowWriter {
public:
    explicit RowWriter(ListRows& list) : list_(list), held_(list.held_rows()) {}
    // Makes row `index` read `row`, appending empty rows until it exists.
    void place(int index, const Row& row);
    // Removes every row from index `count` on.
    void trim(int count);
    // Makes the list read `rows` where each row is known by its key (the
    // text in `key_column`): a row whose key stays keeps its place and only
    // its changed cells are sent; rows that go are removed and rows that come
    // are inserted where they belong. When a client closes its files, the
    // rows below them are not all rewritten.
    void assign_keyed(const std::vector<Row>& rows, int key_column);
    // The same where a row is known by the texts of several columns.
    void assign_keyed(const std::vector<Row>& rows, const std::vector<int>& key_columns);

private:
    void set_changed_cells(int index, const Row& row);
    void insert(int index, const Row& row);
    const std::vector<Row>& written() const { return held_ ? *held_ : written_; }

    ListRows& list_;
    const std::vector<Row>* held_;
    std::vector<Row> written_;  // only for a list that does not hold its rows
};
