#include "monitor/monitor_worker_win.h"

#include "common/message_box_win.h"
#include "monitor/activity_log.h"
#include "monitor/error_log.h"
#include "monitor/list_view_rows_win.h"
#include "monitor/monitor_pass.h"
#include "monitor/monitor_settings.h"

namespace {

struct StopEvents {
    HANDLE stop = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE stopped = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ~StopEvents() {
        CloseHandle(stop);
        CloseHandle(stopped);
    }
};

StopEvents g_events;

std::vector<CellRow> rows_of(ListRows& list, int columns) {
    std::vector<CellRow> rows;
    int count = list.row_count();
    for (int row = 0; row < count; ++row) {
        CellRow cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(list.cell_text(row, column));
        rows.push_back(std::move(cells));
    }
    return rows;
}

}  // namespace

HANDLE stop_event() { return g_events.stop; }
HANDLE stopped_event() { return g_events.stopped; }

MonitorWorker::MonitorWorker(netmgmt::NetManagement& net, HWND sessions, HWND open_files)
    : net_(net), sessions_(sessions), open_files_(open_files) {}

MonitorWorker::~MonitorWorker() {
    if (thread_)
        CloseHandle(thread_);
}

bool MonitorWorker::start() {
    thread_ = CreateThread(nullptr, 0, thread_main, this, 0, nullptr);
    return thread_ != nullptr;
}

DWORD WINAPI MonitorWorker::thread_main(LPVOID self) {
    static_cast<MonitorWorker*>(self)->loop();
    SetEvent(stopped_event());
    return 0;
}

void MonitorWorker::loop() {
    ErrorLog error_log;
    ActivityLog activity_log;
    ListViewRows sessions(sessions_);
    ListViewRows open_files(open_files_);
    MonitorPass pass(net_, sessions, open_files,
                     {[&](const std::string& line) { return error_log.write(line); },
                      [](const std::string& text) { show_message(nullptr, text, MB_OK); }});
    // Any end of the wait other than its time-out (the stop, or a failed
    // wait) ends the loop.
    while (WaitForSingleObject(stop_event(), 1000) == WAIT_TIMEOUT) {
        MonitorSettings settings = monitor_settings().snapshot();
        if (!pass.run(settings.dirs).changed() || settings.start_log == "0")
            continue;
        EntryContent content;
        content.sessions = settings.save_session != "0";
        content.open_files = settings.save_file == "1";
        if (content.sessions)
            content.session_rows = rows_of(sessions, kSessionColumns);
        if (content.open_files)
            content.open_file_rows = rows_of(open_files, kOpenId);
        switch (activity_log.append(content)) {
        case AppendResult::Written:
            break;
        case AppendResult::NoFile:
            show_message(nullptr, "创建日志文件失败", MB_OK);
            break;
        case AppendResult::WriteFailed:
            show_message(nullptr, "写入日志文件失败!", MB_OK);
            break;
        }
    }
}
