#include "scanner/scanner_dialog_win.h"

#include <commctrl.h>

#include <algorithm>

#include "common/controls_win.h"
#include "common/exclusive_file.h"
#include "common/message_box_win.h"
#include "common/minimised_icon_win.h"
#include "common/save_as_win.h"
#include "common/string_resource_win.h"
#include "common/thread_messages_win.h"
#include "common/wide_text_win.h"
#include "scanner/brenvik_resources.h"
#include "scanner/local_address_win.h"
#include "scanner/node_status.h"
#include "scanner/scan_report.h"

namespace {

constexpr int kTimeoutMin = 100, kTimeoutMax = 10000;
constexpr int kAddressFields[] = {IDC_START, IDC_TIMEOUT, IDC_TIMEOUT_SPIN, IDC_START_ADDRESS, IDC_END_ADDRESS};

}  // namespace

ScannerDialog::ScannerDialog() : Dialog(IDD_SCANNER, false) {
    if (!probe_->open())
        show_message(nullptr, "Failed Create Socket", MB_OK | MB_ICONEXCLAMATION);
    icon_ = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN));
}

ScannerDialog::~ScannerDialog() = default;

BOOL ScannerDialog::on_init() {
    SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    auto range = default_range(host_address());
    set_address(IDC_START_ADDRESS, range.start);
    set_address(IDC_END_ADDRESS, range.end);
    EnableWindow(item(IDC_STOP), FALSE);
    SendMessageW(item(IDC_TIMEOUT_SPIN), UDM_SETRANGE32, kTimeoutMin, kTimeoutMax);
    SendMessageW(item(IDC_TIMEOUT_SPIN), UDM_SETPOS32, 0, kTimeoutMin);

    HWND results = item(IDC_RESULTS);
    list_insert_column(results, 0, resource_text(IDS_COLUMN_MAC), 140);
    list_insert_column(results, 0, resource_text(IDS_COLUMN_HOST), 120);
    list_insert_column(results, 0, resource_text(IDS_COLUMN_WORKGROUP), 100);
    list_insert_column(results, 0, resource_text(IDS_COLUMN_ADDRESS), 120);
    SendMessageW(results, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
    DWORD style = static_cast<DWORD>(SendMessageW(results, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    SendMessageW(results, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_FULLROWSELECT);
    return TRUE;
}

bool ScannerDialog::on_command(int id, int notification) {
    switch (id) {
    case IDC_START:
        start_scan();
        return true;
    case IDC_STOP:
        worker_.request_stop();
        return true;
    case IDC_SAVE:
        save();
        return true;
    case IDOK:
    case IDCANCEL:
        close();
        end(id);
        return true;
    default:
        return Dialog::on_command(id, notification);
    }
}

bool ScannerDialog::on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
    switch (msg) {
    case scan_message::kProgress:
        show_progress(sent_payload<const ScanProgress>(lp));
        return true;
    case scan_message::kEnded:
        show_progress(sent_payload<const ScanProgress>(lp));
        scan_ended(wp != 0);
        return true;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_START_ADDRESS && header->code == IPN_FIELDCHANGED)
            start_field_changed(*reinterpret_cast<NMIPADDRESS*>(lp));
        return false;
    }
    case WM_PAINT:
        return paint_minimised_icon(hwnd(), icon_);
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(icon_);
        return true;
    default:
        return false;
    }
}

void ScannerDialog::close() {
    // The worker must be gone before the window is. Its wait ends at once
    // and its messages are served meanwhile, so this does not block long.
    worker_.stop_and_join();
}

Octets ScannerDialog::address(int id) const {
    DWORD a = 0;
    SendMessageW(item(id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&a));
    return {static_cast<int>(FIRST_IPADDRESS(a)), static_cast<int>(SECOND_IPADDRESS(a)),
            static_cast<int>(THIRD_IPADDRESS(a)), static_cast<int>(FOURTH_IPADDRESS(a))};
}

void ScannerDialog::set_address(int id, const Octets& a) const {
    SendMessageW(item(id), IPM_SETADDRESS, 0, MAKEIPADDRESS(a[0], a[1], a[2], a[3]));
}

void ScannerDialog::start_field_changed(NMIPADDRESS& change) {
    DWORD reported = 0;
    SendMessageW(item(IDC_START_ADDRESS), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&reported));
    if (auto start = address_after_field_change(reported, change.iField, change.iValue))
        set_address(IDC_END_ADDRESS, end_of_network(*start));
    // The control puts the value the notification leaves into the field.
    if (change.iValue > 255)
        change.iValue = 255;
}

void ScannerDialog::add_probed(const std::string& text) const {
    std::u16string wide = widen(text);
    SendMessageW(item(IDC_PROBED), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide_ptr(wide)));
}

int ScannerDialog::timeout_ms() const {
    // Unreadable edit text leaves the control's last valid position.
    BOOL unreadable = FALSE;
    int position =
        static_cast<int>(SendMessageW(item(IDC_TIMEOUT_SPIN), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&unreadable)));
    return std::clamp(position, kTimeoutMin, kTimeoutMax);
}

void ScannerDialog::set_scanning(bool scanning) {
    for (int id : kAddressFields)
        EnableWindow(item(id), !scanning);
    EnableWindow(item(IDC_STOP), scanning);
}

void ScannerDialog::start_scan() {
    Octets start = address(IDC_START_ADDRESS), end = address(IDC_END_ADDRESS);
    switch (check_range(start, end)) {
    case RangeCheck::EndBeforeStart:
        message_box(resource_text(IDS_END_BEFORE_START));
        return;
    case RangeCheck::NotClassC:
        message_box(resource_text(IDS_NOT_CLASS_C));
        return;
    case RangeCheck::Ok:
        break;
    }
    results_.begin_scan();
    // The thread first, so its queries leave while the controls change.
    if (!worker_.start(hwnd(), start, end, timeout_ms())) {
        message_box(resource_text(IDS_SCAN_NOT_STARTED));
        return;
    }
    set_scanning(true);
}

void ScannerDialog::scan_ended(bool finished) {
    if (finished)
        add_probed(resource_text(IDS_SCAN_FINISHED));
    set_scanning(false);
}

void ScannerDialog::show_progress(const ScanProgress& progress) {
    // One redraw per batch, not per line.
    HWND probed = item(IDC_PROBED), results = item(IDC_RESULTS);
    SendMessageW(probed, WM_SETREDRAW, FALSE, 0);
    SendMessageW(results, WM_SETREDRAW, FALSE, 0);
    for (const std::string& address : progress.probed)
        add_probed(address);
    for (const ScanAnswer& answer : progress.answers) {
        // The list shows the texts as well as the code page can; the report
        // is written from the kept bytes.
        std::size_t at = results_.add(answer.address, answer.row);
        int index = list_insert_row(results, static_cast<int>(at), answer.row.address, -1);
        list_set_cell(results, index, 1, answer.row.workgroup, -1);
        list_set_cell(results, index, 2, answer.row.host, -1);
        list_set_cell(results, index, 3, answer.row.mac, -1);
    }
    for (HWND list : {probed, results}) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
}

bool ScannerDialog::save_report(const std::string& path) const {
    auto file = ExclusiveFile::open(path, ExclusiveFile::Disposition::CreateAlways);
    return file && file->write(format_report(results_.rows()));
}

void ScannerDialog::save() {
    // One filter entry, "txt", listing *.txt files.
    if (auto path = ask_save_path(hwnd(), {"brenvik", "txt|*.txt|", "txt"}))
        save_report(*path);  // a file that cannot be written is left without a message
}
