// iconv conversion for the host build. Characters GBK lacks become '?', as
// the Win32 conversion gives them.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "common/code_page.h"

namespace codepage {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv_open failed");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `in`; an unconvertible input unit of `unit` bytes becomes
    // `replacement`.
    std::string run(const std::string& in, std::size_t unit, const std::string& replacement) {
        std::string out;
        char buffer[1024];
        char* src = const_cast<char*>(in.data());
        std::size_t left = in.size();
        while (left > 0) {
            char* dst = buffer;
            std::size_t room = sizeof buffer;
            std::size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
                std::size_t skip = left < unit ? left : unit;
                src += skip;
                left -= skip;
                out += replacement;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t cd_;
};

std::u16string as_utf16(const std::string& bytes) {
    return std::u16string(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
}

const std::string kWideQuestionMark("?\0", 2);

}  // namespace

std::string utf16_to_gbk(const std::u16string& text) {
    std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    return Converter("GBK", "UTF-16LE").run(bytes, 2, "?");
}

std::u16string gbk_to_utf16(const std::string& text) {
    return as_utf16(Converter("UTF-16LE", "GBK").run(text, 1, kWideQuestionMark));
}

std::string utf8_to_gbk(const std::string& text) {
    return utf16_to_gbk(as_utf16(Converter("UTF-16LE", "UTF-8").run(text, 1, kWideQuestionMark)));
}

std::string gbk_to_utf8(const std::string& text) { return Converter("UTF-8", "GBK").run(text, 1, "?"); }

}  // namespace codepage
