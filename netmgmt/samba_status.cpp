#include "netmgmt/samba_status.h"

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

std::vector<LockOwner> parse_lock_owners(const std::string& listing) {
    std::vector<LockOwner> owners;
    if (blank(listing))
        return owners;
    std::istringstream in(listing);
    std::string line;
    bool rows = false;
    while (std::getline(in, line)) {
        if (!rows) {
            // The rows follow the line of dashes under the heading.
            rows = line.compare(0, 10, "----------") == 0;
            continue;
        }
        std::istringstream fields(line);
        long long pid = -1, uid = -1;
        if (!(fields >> pid))
            continue;  // a blank line or the end of the section
        if (!(fields >> uid) || pid <= 0 || pid > 0xFFFFFFFFll || uid < 0 || uid > 0xFFFFFFFFll)
            throw StatusFormatError("lock listing: bad row " + line);
        owners.push_back({static_cast<std::uint32_t>(pid), static_cast<std::uint32_t>(uid)});
    }
    if (!rows && listing.find("No locked files") == std::string::npos)
        throw StatusFormatError("not a lock listing");
    return owners;
}

}  // namespace samba
}  // namespace netmgmt
