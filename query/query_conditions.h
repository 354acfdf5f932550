// What a query asks of the day's entries: a time window and the optional
// conditions of the dialog's fields, and how an entry's records are narrowed
// by them.
#pragma once

#include <ctime>
#include <string>

struct QueryConditions {
    std::time_t start = 0;
    std::time_t end = 0;
    std::string user;  // empty: no condition
    std::string computer;
    std::string file;

    bool any() const { return !user.empty() || !computer.empty() || !file.empty(); }
};

struct EntryRecords {
    std::string sessions;
    std::string files;
};

// The records of one entry's session part and open-file part that meet every
// condition. A field value matches when it contains the condition's text,
// ASCII letters in either case. Session records carry no file and open-file
// records no computer: such a condition is met through the user name that
// both carry, so a session is kept when its user holds a matching file in the
// same entry, and an open file when its user has a session from a matching
// computer in the same entry.
EntryRecords narrow_entry(const std::string& sessions, const std::string& files, const QueryConditions& conditions);

// Whether `value` contains `wanted`, ASCII letters in either case; an empty
// `wanted` is contained in everything.
bool field_matches(const std::string& value, const std::string& wanted);
