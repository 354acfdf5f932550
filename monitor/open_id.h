// The open's identifier as the hidden list cell holds it: signed decimal, so
// identifiers at or above 2^31 read negative and parse back to the same bits.
#pragma once

#include <cstdint>
#include <string>

std::string open_id_text(std::uint32_t id);
// Leading decimal digits with an optional sign; no digits give 0.
std::uint32_t parse_open_id(const std::string& text);
