// The host box: an editable drop-down whose edit completes the typed text
// from the history, unless the last key was Delete or Backspace.
#pragma once

#include <windows.h>

#include "ping/host_history.h"

class HostCombo {
public:
    explicit HostCombo(const HostHistory& history) : history_(history) {}
    ~HostCombo();
    HostCombo(const HostCombo&) = delete;
    HostCombo& operator=(const HostCombo&) = delete;

    // Watches the key-downs of the combo box and of its edit field.
    void attach(HWND combo);
    // The combo box's edit-update notification.
    void on_edit_update();
    bool completion() const { return completion_; }

private:
    static LRESULT CALLBACK key_watch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
    void detach();

    const HostHistory& history_;
    HWND combo_ = nullptr;
    HWND edit_ = nullptr;
    bool completion_ = true;
};
