// Rules of the update check: what counts as a newer version and how the
// fetched body is put together.
#pragma once

#include <cstddef>
#include <string>

// What a failed fetch gives; it reads as 0 and so never announces anything.
extern const char kFetchFailed[];

// The leading decimal number of `text` as atof reads it: white space skipped,
// the longest prefix of sign, digits, point and exponent, 0 when there is none.
double leading_number(const std::string& text);

// A version answer is a few bytes: a longer body is no answer, and reading
// stops there, so a server cannot fill the monitor's memory.
constexpr std::size_t kVersionAnswerLimit = 256;

// A version number: blanks, then digits with at most one point inside
// ("5.2", " 6"), nothing else. Other answers (a page, "9e9", "6abc") are
// ignored, whatever number they start with.
bool is_version_number(const std::string& text);

// A newer version is announced when the fetched text is a version number
// above 5.0 and is shorter than 5 bytes ("5.2\r\n" and "5.2.1" are not).
bool announces_new_version(const std::string& fetched);

// Appends one read of `count` bytes, up to a NUL inside it if there is one;
// false once the body is longer than kVersionAnswerLimit.
bool append_body_chunk(std::string& body, const char* chunk, std::size_t count);
