#pragma once

#include <string>
#include <vector>

// True when `path` contains one of `folders`; no folders lets every path
// through.
bool passes_folder_filter(const std::string& path, const std::vector<std::string>& folders);
