// Rules of the update check: what counts as a newer version, the text that
// announces it, and how the fetched body is put together.
#pragma once

#include <cstddef>
#include <string>

// What a failed fetch gives; it reads as 0 and so never announces anything.
extern const char kFetchFailed[];

// The leading decimal number of `text` as atof reads it: white space skipped,
// the longest prefix of sign, digits, point and exponent, 0 when there is none.
double leading_number(const std::string& text);

// A newer version is announced when the fetched text reads above 5.0 and is
// shorter than 5 bytes ("5.2\r\n" and "5.2.1" are not).
bool announces_new_version(const std::string& fetched);

std::string new_version_message(const std::string& fetched);

// Appends one read of `count` bytes, up to a NUL inside it if there is one.
void append_body_chunk(std::string& body, const char* chunk, std::size_t count);
