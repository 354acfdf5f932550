// Win32 conversion through code page 936, so the programs read the same
// whatever the system's locale. Characters GBK lacks become '?'.
#include <windows.h>

#include "common/code_page.h"

namespace codepage {
namespace {

constexpr UINT kGbk = 936;

std::u16string to_utf16(UINT code_page, const std::string& text) {
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<WCHAR*>(&out[0]), n);
    return out;
}

std::string from_utf16(UINT code_page, const std::u16string& text) {
    if (text.empty())
        return {};
    auto src = reinterpret_cast<const WCHAR*>(text.data());
    int n = WideCharToMultiByte(code_page, 0, src, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(code_page, 0, src, static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace

std::string utf16_to_gbk(const std::u16string& text) { return from_utf16(kGbk, text); }
std::u16string gbk_to_utf16(const std::string& text) { return to_utf16(kGbk, text); }
std::string utf8_to_gbk(const std::string& text) { return from_utf16(kGbk, to_utf16(CP_UTF8, text)); }
std::string gbk_to_utf8(const std::string& text) { return from_utf16(CP_UTF8, to_utf16(kGbk, text)); }

}  // namespace codepage
