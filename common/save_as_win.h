// The common Save As dialog, as the programs ask where to save a report.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

struct SaveAsRequest {
    std::string proposed_name;  // GBK
    std::string filter;         // GBK "name|pattern|" pairs
    std::string extension;      // added to a name typed without one
};

// The path the user chose (GBK), or nothing when the dialog was cancelled.
// An existing file is written over only once the user agreed. The current
// directory stays where it was: the day files are looked up in it.
std::optional<std::string> ask_save_path(HWND owner, const SaveAsRequest& request);
