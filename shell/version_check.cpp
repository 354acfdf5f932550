#include "shell/version_check.h"

#include <cctype>
#include <cstring>
#include <locale>
#include <sstream>

const char kFetchFailed[] = "Error";

namespace {

constexpr double kVersionThreshold = 5.0;
constexpr std::size_t kVersionTextLimit = 5;

std::size_t skip_digits(const std::string& text, std::size_t at) {
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])))
        ++at;
    return at;
}

std::size_t skip_sign(const std::string& text, std::size_t at) {
    return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

}  // namespace

double leading_number(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    std::size_t digits_from = skip_sign(text, start);
    std::size_t end = skip_digits(text, digits_from);
    bool any_digit = end > digits_from;
    if (end < text.size() && text[end] == '.') {
        std::size_t fraction_end = skip_digits(text, end + 1);
        any_digit = any_digit || fraction_end > end + 1;
        end = fraction_end;
    }
    if (!any_digit)
        return 0.0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent_digits = skip_sign(text, end + 1);
        std::size_t exponent_end = skip_digits(text, exponent_digits);
        if (exponent_end > exponent_digits)
            end = exponent_end;
    }
    // The classic locale, so a decimal point is "." whatever the user's locale.
    std::istringstream in(text.substr(start, end - start));
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    return in.fail() ? 0.0 : value;
}

bool is_version_number(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    const std::size_t whole_end = skip_digits(text, at);
    if (whole_end == at)
        return false;
    if (whole_end == text.size())
        return true;
    if (text[whole_end] != '.')
        return false;
    const std::size_t fraction_end = skip_digits(text, whole_end + 1);
    return fraction_end > whole_end + 1 && fraction_end == text.size();
}

bool announces_new_version(const std::string& fetched) {
    return fetched.size() < kVersionTextLimit && is_version_number(fetched) &&
           leading_number(fetched) > kVersionThreshold;
}

bool append_body_chunk(std::string& body, const char* chunk, std::size_t count) {
    const void* nul = std::memchr(chunk, '\0', count);
    const std::size_t kept = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - chunk) : count;
    if (body.size() + kept > kVersionAnswerLimit)
        return false;
    body.append(chunk, kept);
    return true;
}
