#include "common/text_pattern.h"

std::string with_value(std::string pattern, const std::string& value) {
    // "%" is never a GBK trail byte, so a plain search cannot match inside a character.
    std::size_t at = pattern.find("%s");
    return at == std::string::npos ? pattern : pattern.replace(at, 2, value);
}
