#include "monitor/list_export.h"

#include "common/code_page.h"

// The bytes searched for below are all under 0x40, so none of them is ever
// the second byte of a GBK character: the GBK text is built first and
// converted once.
namespace {

// A spreadsheet runs a cell that begins with one of these as a formula, and
// a file's or a user's name is any client's choice: such a cell gets a
// leading quote, which the spreadsheet takes as "this is text".
bool read_as_formula(const std::string& field) {
    return !field.empty() && std::string("=+-@\t\r").find(field.front()) != std::string::npos;
}

void add_csv_field(std::string& out, const std::string& field) {
    const std::string guard = read_as_formula(field) ? "'" : "";
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += guard + field;
        return;
    }
    out += '"' + guard;
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

template <class Cells, class Text>
void add_csv_line(std::string& out, const Cells& cells, Text text) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            out += ',';
        add_csv_field(out, text(cells[i]));
    }
    out += "\r\n";
}

}  // namespace

std::string csv_text(const std::vector<std::string>& headings, const std::vector<Row>& rows) {
    std::string gbk;
    add_csv_line(gbk, headings, [](const std::string& heading) -> const std::string& { return heading; });
    for (const Row& row : rows)
        add_csv_line(gbk, row, [](const Cell& cell) -> const std::string& { return cell.text; });
    return "\xEF\xBB\xBF" + codepage::gbk_to_utf8(gbk);
}

std::string tab_separated_text(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += '\t';
            for (char c : row[i].text)
                out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        }
        out += "\r\n";
    }
    return out;
}
