// Type-ahead completion of the host box: what the edit shows and selects
// after the user typed, given the list.
#pragma once

#include <string>
#include <vector>

// Virtual-key codes that switch completion off (the user is deleting).
constexpr int kKeyBackspace = 0x08;
constexpr int kKeyDelete = 0x2E;

// The completion switch after a key-down: off for Delete and Backspace, on
// for every other key.
bool completion_after_key(int virtual_key);

struct EditSelection {
    int start;
    int end;  // -1: to the end of the text
};

struct Completion {
    int entry;         // list entry to select (its text fills the edit), or -1
    std::string text;  // what the edit shows
    EditSelection selection;
};

// `typed` is the edit text, `selection` its selection after the keystroke
// (`selection_known` false when the edit could not report it).
Completion complete(const std::vector<std::string>& entries, const std::string& typed, EditSelection selection,
                    bool selection_known);
