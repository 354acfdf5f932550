#include "common/string_resource_win.h"

#include "common/text_pattern.h"
#include "common/wide_text_win.h"

std::string load_string(HINSTANCE instance, UINT id) {
    const WCHAR* text = nullptr;
    // Length 0 asks for a pointer into the resource itself.
    int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? narrow(text, static_cast<std::size_t>(length)) : std::string();
}

std::string resource_text(UINT id) { return load_string(GetModuleHandleW(nullptr), id); }

std::string formatted_text(UINT id, const std::string& value) { return with_value(resource_text(id), value); }
