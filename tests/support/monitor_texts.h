// The monitoring core's window texts as Filvane's string table holds them,
// for the unit tests that cannot read it.
#pragma once

#include "monitor/monitor_pass.h"
#include "monitor/status_line.h"

inline StatusTexts test_status_texts() {
    return {"读取共享列表失败",
            "读取会话列表失败",
            "读取打开文件列表失败",
            "写入日志文件失败",
            "日志文件已恢复写入,期间有%s条记录未能写入",
            "服务器应答慢,列表已%s秒未更新"};
}

inline PassBoxTexts test_box_texts() { return {"写入出错日志文件失败!", "创建日志文件失败", "写入日志文件失败!"}; }
