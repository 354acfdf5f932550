// wdrive: drives the windows of other processes for end-to-end scripts.
//
//   wdrive wait TITLE [MS]        exit 0 once a visible window TITLE exists
//   wdrive gone TITLE [MS]        exit 0 once no window TITLE is left
//   wdrive text TITLE             print the static texts of window TITLE (UTF-8)
//   wdrive command TITLE ID       post WM_COMMAND ID to window TITLE
//   wdrive close TITLE            post WM_CLOSE to window TITLE
//   wdrive cells TITLE LIST_ID    print the list view's rows, cells tab-separated
//   wdrive count TITLE LIST_ID    print the list view's number of rows
//   wdrive rows TITLE LIST_ID N [MS]  exit 0 once the list view holds N rows
//   wdrive selected TITLE LIST_ID print the selected rows' indices, one a line
//   wdrive select TITLE LIST_ID ROW   select one row of the list view
//   wdrive item TITLE ID          print the text of control ID (UTF-8)
//   wdrive settext TITLE ID TEXT  set the text of control ID, as typing it would
//   wdrive check TITLE ID         tick check box ID
//   wdrive post TITLE MSG WP      post message MSG with wParam WP (decimal)
//   wdrive settime TITLE ID H M S set the time of date-time picker ID
//
// Exit 1 when the window is not found in time.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "common/controls_win.h"
#include "support/window_driver.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: wdrive "
                 "wait|gone|text|command|close|cells|count|rows|selected|select|item|settext|check|post|settime TITLE "
                 "[ARG...]\n");
    return 2;
}

void print(const std::string& gbk) { std::printf("%s\n", codepage::gbk_to_utf8(gbk).c_str()); }

// Memory inside the process that owns a window, for messages that carry
// pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, SIZE_T size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = static_cast<BYTE*>(VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteBuffer() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    bool ok() const { return address_ != nullptr; }
    BYTE* address() const { return address_; }
    void put(const void* data, SIZE_T size, SIZE_T offset = 0) const {
        WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void get(void* data, SIZE_T size, SIZE_T offset = 0) const {
        ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    BYTE* address_ = nullptr;
};

void select_row(HWND list, int row) {
    RemoteBuffer remote(list, sizeof(LVITEMW));
    if (!remote.ok())
        return;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.put(&state, sizeof state);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.address()));
}

// WM_GETTEXT is carried across processes, unlike GetWindowText, which gives
// only the caption of another process's window.
std::string control_text(HWND control) {
    auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    length = SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return codepage::utf16_to_gbk(text);
}

void set_picker_time(HWND picker, int hour, int minute, int second) {
    RemoteBuffer remote(picker, sizeof(SYSTEMTIME));
    if (!remote.ok())
        return;
    SYSTEMTIME st{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote.address()));
    remote.get(&st, sizeof st);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    remote.put(&st, sizeof st);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote.address()));
}

void print_cells(HWND list) {
    RemoteBuffer remote(list, sizeof(LVITEMW) + 1024 * sizeof(WCHAR));
    if (!remote.ok())
        return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    int rows = list_row_count(list);
    for (int row = 0; row < rows; ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<WCHAR*>(remote.address() + sizeof(LVITEMW));
            item.cchTextMax = 1024;
            remote.put(&item, sizeof item);
            auto length = SendMessageW(
                list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.address()));
            char16_t text[1024] = {0};
            remote.get(text, sizeof text - 2, sizeof(LVITEMW));
            if (column)
                line += "\t";
            line += codepage::utf16_to_gbk(std::u16string(text, static_cast<std::size_t>(length)));
        }
        print(line);
    }
}

}  // namespace

int main() {
    // The wide command line, whatever the code page the arguments came in.
    int argc = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> argv;
    for (int i = 0; i < argc; ++i)
        argv.push_back(codepage::utf16_to_gbk(reinterpret_cast<const char16_t*>(wide[i])));
    LocalFree(wide);
    if (argc < 3)
        return usage();
    const std::string& verb = argv[1];
    auto number = [&](int i) {
        return static_cast<int>(std::strtol(argv[static_cast<std::size_t>(i)].c_str(), nullptr, 10));
    };
    const std::string& title = argv[2];
    DWORD timeout = argc > 3 && (verb == "wait" || verb == "gone") ? std::strtoul(argv[3].c_str(), nullptr, 10) : 10000;
    if (verb == "gone")
        return wait_until([&] { return find_window(title, true) == nullptr; }, timeout) ? 0 : 1;
    HWND window = wait_for_window(title, timeout, true);
    if (!window)
        return 1;
    if (verb == "wait")
        return 0;
    if (verb == "text") {
        print(message_box_text(window));
    } else if (verb == "command" && argc > 3) {
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(number(3)), 0);
    } else if (verb == "close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
    } else if (verb == "cells" && argc > 3) {
        print_cells(GetDlgItem(window, number(3)));
    } else if (verb == "rows" && argc > 4) {
        HWND list = GetDlgItem(window, number(3));
        DWORD limit = argc > 5 ? std::strtoul(argv[5].c_str(), nullptr, 10) : 10000;
        return wait_until([&] { return list_row_count(list) == number(4); }, limit) ? 0 : 1;
    } else if (verb == "count" && argc > 3) {
        std::printf("%d\n", list_row_count(GetDlgItem(window, number(3))));
    } else if (verb == "selected" && argc > 3) {
        HWND list = GetDlgItem(window, number(3));
        for (int row = -1; (row = static_cast<int>(
                                SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;)
            std::printf("%d\n", row);
    } else if (verb == "item" && argc > 3) {
        print(control_text(GetDlgItem(window, number(3))));
    } else if (verb == "settext" && argc > 4) {
        // WM_SETTEXT carries its text across processes.
        const std::u16string text = codepage::gbk_to_utf16(argv[4]);
        SendMessageW(GetDlgItem(window, number(3)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    } else if (verb == "check" && argc > 3) {
        SendMessageW(GetDlgItem(window, number(3)), BM_SETCHECK, BST_CHECKED, 0);
    } else if (verb == "post" && argc > 4) {
        PostMessageW(window, static_cast<UINT>(number(3)), static_cast<WPARAM>(number(4)), 0);
    } else if (verb == "settime" && argc > 6) {
        set_picker_time(GetDlgItem(window, number(3)), number(4), number(5), number(6));
    } else if (verb == "select" && argc > 4) {
        select_row(GetDlgItem(window, number(3)), number(4));
    } else {
        return usage();
    }
    return 0;
}
