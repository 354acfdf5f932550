#include "monitor/open_mode.h"

#include <cstdio>

std::string open_mode_text(std::uint32_t permissions) {
    static const struct {
        const char* hex;
        const char* text;
    } kModes[] = {
        {"1", "读取"}, {"21", "读取"},    {"32", "写入"}, {"23", "写入+读取"},
        {"9", "打开"}, {"8", "拒绝访问"}, {"10", "删除"}, {"20", "删除"},
    };
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", permissions);
    for (const auto& mode : kModes)
        if (std::string(hex) == mode.hex)
            return mode.text;
    return std::string(hex) + " 未知打开模式";
}
