#include "netmgmt/samba_status.h"

#include <algorithm>
#include <sstream>

#include "netmgmt/json_reader.h"

namespace netmgmt {
namespace samba {
namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

bool digits(const std::string& s, std::size_t at, std::size_t n, int& out) {
    if (at + n > s.size())
        return false;
    out = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        out = out * 10 + (s[i] - '0');
    }
    return true;
}

ServerProcess process_of(const json::Value& entry) {
    ServerProcess p;
    if (const json::Value* id = entry.find("server_id")) {
        p.pid = static_cast<std::uint32_t>(json::unsigned_of(*id, "pid"));
        p.unique_id = json::unsigned_of(*id, "unique_id");
    }
    return p;
}

const json::Value* section(const json::Value& root, const char* name) {
    const json::Value* s = root.find(name);
    if (s && !s->is_object())
        throw StatusFormatError(std::string("section ") + name + " is not an object");
    return s;
}

}  // namespace

std::optional<std::int64_t> parse_timestamp(const std::string& s) {
    int y, mo, d, h, mi, se;
    if (!digits(s, 0, 4, y) || s.size() < 19 || s[4] != '-' || !digits(s, 5, 2, mo) || s[7] != '-' ||
        !digits(s, 8, 2, d) || s[10] != 'T' || !digits(s, 11, 2, h) || s[13] != ':' || !digits(s, 14, 2, mi) ||
        s[16] != ':' || !digits(s, 17, 2, se))
        return std::nullopt;
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 60)
        return std::nullopt;
    std::size_t at = 19;
    if (at < s.size() && s[at] == '.') {
        ++at;
        while (at < s.size() && s[at] >= '0' && s[at] <= '9')
            ++at;
    }
    std::int64_t offset = 0;
    if (at < s.size() && s[at] == 'Z') {
        ++at;
    } else if (at < s.size() && (s[at] == '+' || s[at] == '-')) {
        int oh, om;
        bool colon = at + 3 < s.size() && s[at + 3] == ':';
        if (!digits(s, at + 1, 2, oh) || !digits(s, at + (colon ? 4 : 3), 2, om))
            return std::nullopt;
        offset = (static_cast<std::int64_t>(oh) * 60 + om) * 60 * (s[at] == '-' ? -1 : 1);
        at += colon ? 6 : 5;
    }
    if (at != s.size())
        return std::nullopt;
    const std::int64_t seconds_of_day = static_cast<std::int64_t>(h) * 3600 + static_cast<std::int64_t>(mi) * 60 + se;
    return days_from_civil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 + seconds_of_day - offset;
}

Status parse_status_report(const std::string& json_text) {
    json::Value root;
    try {
        root = json::parse(json_text);
    } catch (const json::ParseError& e) {
        throw StatusFormatError(std::string("status report: ") + e.what());
    }
    if (!root.is_object())
        throw StatusFormatError("status report is not an object");
    auto taken = parse_timestamp(json::text_of(root, "timestamp"));
    if (!taken)
        throw StatusFormatError("status report without a valid timestamp");

    Status status;
    status.taken_at = *taken;
    status.version = json::text_of(root, "version");
    if (const json::Value* sessions = section(root, "sessions")) {
        for (const auto& [key, s] : sessions->members()) {
            Session out;
            out.session_id = json::text_of(s, "session_id");
            if (out.session_id.empty())
                out.session_id = key;
            out.process = process_of(s);
            out.uid = static_cast<std::uint32_t>(json::unsigned_of(s, "uid"));
            out.user = json::text_of(s, "username");
            out.remote_machine = json::text_of(s, "remote_machine");
            status.sessions.push_back(std::move(out));
        }
    }
    if (const json::Value* tcons = section(root, "tcons")) {
        for (const auto& [key, t] : tcons->members()) {
            TreeConnect out;
            out.service = json::text_of(t, "service");
            out.session_id = json::text_of(t, "session_id");
            out.connected_at = parse_timestamp(json::text_of(t, "connected_at")).value_or(status.taken_at);
            status.tree_connects.push_back(std::move(out));
        }
    }
    return status;
}

namespace {

constexpr char kColumnGap[] = "   ";
constexpr std::size_t kMostLinesInARow = 64;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_lower(char c) { return c >= 'a' && c <= 'z'; }

// The next blank-separated word of `row` from `at`, which moves past it.
std::string next_word(const std::string& row, std::size_t& at) {
    while (at < row.size() && row[at] == ' ')
        ++at;
    const std::size_t start = at;
    while (at < row.size() && row[at] != ' ')
        ++at;
    return row.substr(start, at - start);
}

bool parse_number(const std::string& text, int base, std::uint32_t& out) {
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (is_digit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    }
    if (value > 0xFFFFFFFFull)
        return false;
    out = static_cast<std::uint32_t>(value);
    return true;
}

// A process as the tool names it: "1234", "1234.5" (a task of it) or, in a
// cluster, "0:1234".
bool parse_process(std::string text, std::uint32_t& pid) {
    const std::size_t colon = text.find(':');
    if (colon != std::string::npos)
        text.erase(0, colon + 1);
    text.erase(std::min(text.find('.'), text.size()));
    return parse_number(text, 10, pid) && pid != 0;
}

// asctime's "Tue Dec  8 01:31:57 2026", or the tool's "unknown time".
bool is_listing_time(const std::string& t) {
    if (t == "unknown time")
        return true;
    if (t.size() < 24 || !is_upper(t[0]) || !is_lower(t[1]) || !is_lower(t[2]) || t[3] != ' ' || !is_upper(t[4]) ||
        !is_lower(t[5]) || !is_lower(t[6]) || t[7] != ' ' || !(t[8] == ' ' || is_digit(t[8])) || !is_digit(t[9]) ||
        t[10] != ' ' || !is_digit(t[11]) || !is_digit(t[12]) || t[13] != ':' || !is_digit(t[14]) || !is_digit(t[15]) ||
        t[16] != ':' || !is_digit(t[17]) || !is_digit(t[18]) || t[19] != ' ')
        return false;
    for (std::size_t i = 20; i < t.size(); ++i)
        if (!is_digit(t[i]))
            return false;
    return true;
}

// Where the share path ends in "PATH   NAME": after the longest configured
// path that fits, or at the first gap.
std::size_t share_path_end(const std::string& both, const std::vector<std::string>& share_paths) {
    std::size_t best = std::string::npos;
    for (const auto& path : share_paths)
        if (!path.empty() && (best == std::string::npos || path.size() > best) &&
            both.compare(0, path.size(), path) == 0 && both.compare(path.size(), 3, kColumnGap) == 0)
            best = path.size();
    return best != std::string::npos ? best : both.find(kColumnGap);
}

enum class RowRead { Done, Unfinished, Bad };

RowRead read_row(const std::string& row, const std::vector<std::string>& share_paths, ListedOpen& out) {
    std::size_t at = 0;
    const std::string pid = next_word(row, at);
    const std::string uid = next_word(row, at);
    out.deny_mode = next_word(row, at);
    const std::string access = next_word(row, at);
    next_word(row, at);  // read/write: the access mask says it
    next_word(row, at);  // oplock or lease: changes while the file stays open
    if (!parse_process(pid, out.owner.pid) || !parse_number(uid, 10, out.owner.uid) ||
        access.compare(0, 2, "0x") != 0 || !parse_number(access.substr(2), 16, out.access_mask))
        return RowRead::Bad;
    while (at < row.size() && row[at] == ' ')
        ++at;
    const std::string rest = row.substr(at);
    const std::size_t time_gap = rest.rfind(kColumnGap);
    if (time_gap == std::string::npos || !is_listing_time(rest.substr(time_gap + 3)))
        return RowRead::Unfinished;
    out.opened = rest.substr(time_gap + 3);
    const std::string both = rest.substr(0, time_gap);
    const std::size_t path_end = share_path_end(both, share_paths);
    if (path_end == std::string::npos || path_end == 0)
        return RowRead::Unfinished;
    out.share_path = both.substr(0, path_end);
    out.name = both.substr(path_end + 3);
    return RowRead::Done;
}

}  // namespace

std::vector<ListedOpen> parse_lock_listing(const std::string& listing, const std::vector<std::string>& share_paths) {
    std::vector<ListedOpen> opens;
    if (blank(listing))
        return opens;
    std::istringstream in(listing);
    std::string line;
    bool rows = false;
    while (std::getline(in, line)) {
        if (!rows) {
            // The rows follow the line of dashes under the heading.
            rows = line.compare(0, 10, "----------") == 0;
            continue;
        }
        if (blank(line))
            continue;
        if (!is_digit(line[0]))
            throw StatusFormatError("lock listing: bad row " + line);
        std::string row = line;
        ListedOpen open;
        RowRead read = read_row(row, share_paths, open);
        for (std::size_t lines = 1; read == RowRead::Unfinished && lines < kMostLinesInARow; ++lines) {
            if (!std::getline(in, line))
                break;
            row += "\n" + line;
            read = read_row(row, share_paths, open);
        }
        if (read != RowRead::Done)
            throw StatusFormatError("lock listing: bad row " + row.substr(0, row.find('\n')));
        opens.push_back(std::move(open));
    }
    if (!rows && listing.find("No locked files") == std::string::npos)
        throw StatusFormatError("not a lock listing");
    return opens;
}

std::vector<LockOwner> parse_lock_owners(const std::string& listing) {
    std::vector<LockOwner> owners;
    for (const auto& open : parse_lock_listing(listing))
        owners.push_back(open.owner);
    return owners;
}

}  // namespace samba
}  // namespace netmgmt
