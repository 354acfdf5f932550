// Text from a server (paths, users, computers, share names, remarks) made
// safe to place in a log line: nothing in it can end the line, and in a day
// file nothing in it can be read as a label, an entry or a record.
#pragma once

#include <string>

// For the error log: every control byte (below 0x20, and 0x7F) becomes "%"
// and two upper-case hex digits ("%0D%0A" for CR LF); the rest is unchanged.
std::string escape_controls(const std::string& text);

// For a value in a day file: control bytes as above; a byte that is not part
// of a whole GBK character as "%XX" too, so it cannot pair with the next
// label's first byte; the separator "〓" as "%A1%FE"; and an ASCII ':' right
// after a double-byte character as the full-width "：", since every label
// ends that way. A value without these comes out byte for byte.
std::string day_file_value(const std::string& value);
