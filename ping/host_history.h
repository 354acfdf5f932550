// The host history as the host box holds it: a list kept in case-insensitive
// order, to which a host that resolved is added once.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Case-insensitive (ASCII letters) byte order, as the sorted host box sorts.
int compare_hosts(const std::string& a, const std::string& b);
bool same_host(const std::string& a, const std::string& b);

class HostHistory {
public:
    // Where `host` goes in the sorted list: after any equal entries.
    std::size_t insert_position(const std::string& host) const;
    // Adds `host` in order, duplicates and empty texts included (as a saved
    // history is read back); returns its index.
    std::size_t add(const std::string& host);
    // Adds a resolved host unless an entry equals it ignoring case; returns
    // its index, or -1 when it was already there.
    long add_if_absent(const std::string& host);
    bool contains(const std::string& host) const;

    const std::vector<std::string>& entries() const { return entries_; }

private:
    std::vector<std::string> entries_;
};

// The index N of a saved entry's value name "Host#N" as the registry
// matches names (letters in any case), or nothing for any other name.
std::optional<unsigned long> saved_entry_index(const std::string& value_name);
