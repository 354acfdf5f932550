#pragma once

#include <string>

// True when `path` contains one of the folders of `dirs` (each closed by "|");
// a `dirs` without any "|" lets every path through.
bool passes_folder_filter(const std::string& path, const std::string& dirs);
