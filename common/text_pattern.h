// Texts with a place for one value ("%s"), as the string tables hold them:
// the window code and the portable core fill them the same way.
#pragma once

#include <string>

// `pattern` with its first "%s" replaced by `value`, taken as it is (a "%"
// in the value stays); a pattern without one is returned unchanged.
std::string with_value(std::string pattern, const std::string& value);
