// Our skin files: a signature line, then sections of colours, one object each.
//
//   FILVANE-SKIN 1
//   [Dialog]
//   background=DDE7F5
//   text=17345F
//   accent=2F5F9E
//
// Colours are RRGGBB hex. Unknown keys are ignored so newer skins still load.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct SkinObject {
    std::uint32_t background = 0;  // 0x00RRGGBB
    std::uint32_t text = 0;
    std::uint32_t accent = 0;
};

using SkinObjects = std::map<std::string, SkinObject>;

// False when the bytes are not a skin: wrong signature, a section without all
// three colours, or a malformed colour.
bool parse_skin(const std::string& bytes, SkinObjects& objects);
