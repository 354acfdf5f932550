// The scanner's one window: the address range, the timeout, the probed
// addresses and the answers, Start, Stop and Save.
#pragma once

#include "scanner/node_status_probe_win.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "common/dialog_win.h"
#include "scanner/scan_range.h"
#include "scanner/scan_results.h"
#include "scanner/scan_worker_win.h"

class ScannerDialog : public Dialog {
public:
    // Opens the socket ("Failed Create Socket" when it cannot be made).
    ScannerDialog();
    ~ScannerDialog() override;

    // What Save writes, to a file the caller names (GBK path); false when
    // the file cannot be written.
    bool save_report(const std::string& path) const;

protected:
    BOOL on_init() override;
    bool on_command(int id, int notification) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    void start_scan();
    void save();
    void show_progress(const ScanProgress& progress);
    void start_field_changed(NMIPADDRESS& change);
    void scan_ended(bool finished);
    void set_scanning(bool scanning);
    void close();
    Octets address(int id) const;
    void set_address(int id, const Octets& address) const;
    void add_probed(const std::string& text) const;
    int timeout_ms() const;

    std::shared_ptr<NodeStatusProbe> probe_ = std::make_shared<NodeStatusProbe>();
    ScanResults results_;
    ScanWorker worker_{probe_};
    HICON icon_ = nullptr;
};
