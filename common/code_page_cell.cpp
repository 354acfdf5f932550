#include "common/code_page.h"
#include "common/gbk_text.h"

namespace codepage {

std::string utf16_to_cell(const std::u16string& text) { return gbk::truncate(utf16_to_gbk(text), gbk::kCellTextLimit); }

std::string utf8_to_cell(const std::string& text) { return gbk::truncate(utf8_to_gbk(text), gbk::kCellTextLimit); }

}  // namespace codepage
