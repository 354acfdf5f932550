#include "monitor/list_export.h"

#include "common/code_page.h"

// The bytes searched for below are all under 0x40, so none of them is ever
// the second byte of a GBK character: the GBK text is built first and
// converted once.
namespace {

void add_csv_field(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
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
