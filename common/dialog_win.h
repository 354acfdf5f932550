// A thin modal-dialog base: its own modal loop, so keys can be filtered before
// dialog processing, and one virtual per kind of message.
#pragma once

#include <windows.h>

#include <string>

class Dialog {
public:
    // `swallow_enter_escape`: Filvane's dialogs end only through their
    // buttons or close box, so Enter and Esc never reach dialog processing.
    Dialog(int template_id, bool swallow_enter_escape);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog centred on its owner (on the screen without one),
    // runs it until end() and returns end()'s result; -1 when the template
    // cannot be created. A dialog of a template already running is not made
    // twice: the running one comes to the front and -1 is returned.
    INT_PTR run_modal(HWND owner);
    HWND hwnd() const { return hwnd_; }

protected:
    void end(INT_PTR result);
    // Keys of `table` become WM_COMMANDs to the dialog before it sees them
    // (the table stays the module's; nothing to free).
    void use_accelerators(HACCEL table) { accelerators_ = table; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
    std::string item_text(int id) const;
    void set_item_text(int id, const std::string& gbk) const;
    int message_box(const std::string& gbk, UINT type = MB_OK | MB_ICONEXCLAMATION) const;

    // The return value of WM_INITDIALOG.
    virtual BOOL on_init() { return TRUE; }
    // True when handled. The default ends the dialog on IDOK and IDCANCEL.
    virtual bool on_command(int id, int notification);
    // Any other message; true when handled, with `result` as the answer.
    virtual bool on_message(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);

private:
    static INT_PTR CALLBACK procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool swallowed(const MSG& msg) const;
    // True when a dialog whose modal loop runs around this one has ended.
    bool outer_loop_ended() const;

    int template_id_;
    bool swallow_enter_escape_;
    HWND hwnd_ = nullptr;
    HACCEL accelerators_ = nullptr;
    bool ended_ = false;
    INT_PTR result_ = 0;
};
