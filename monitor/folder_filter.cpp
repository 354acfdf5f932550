#include "monitor/folder_filter.h"

#include "common/gbk_text.h"

bool passes_folder_filter(const std::string& path, const std::string& dirs) {
    std::size_t start = 0;
    std::size_t bar = gbk::find(dirs, "|", start);
    if (bar == std::string::npos)
        return true;
    for (; bar != std::string::npos; start = bar + 1, bar = gbk::find(dirs, "|", start)) {
        if (gbk::contains(path, dirs.substr(start, bar - start)))
            return true;
    }
    return false;
}
