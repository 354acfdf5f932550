#include "monitor/folder_filter.h"

#include "common/gbk_text.h"

bool passes_folder_filter(const std::string& path, const std::vector<std::string>& folders) {
    if (folders.empty())
        return true;
    for (const std::string& folder : folders)
        if (gbk::contains(path, folder))
            return true;
    return false;
}
