#include "netmgmt/samba_status.h"

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

std::uint32_t access_mask_of(const json::Value& open) {
    const json::Value* field = open.find("access_mask");
    if (!field)
        return 0;
    const std::string hex = json::text_of(*field, "hex");
    if (hex.size() < 3 || hex.size() > 10 || hex.compare(0, 2, "0x") != 0)
        throw StatusFormatError("bad access mask " + hex);
    std::uint32_t mask = 0;
    for (std::size_t i = 2; i < hex.size(); ++i) {
        char c = hex[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            throw StatusFormatError("bad access mask " + hex);
        mask = mask << 4 | digit;
    }
    return mask;
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
    if (const json::Value* files = section(root, "open_files")) {
        for (const auto& [key, file] : files->members()) {
            // Samba names a directory opened at the share's root ".".
            const std::string dir = json::text_of(file, "service_path");
            const std::string name = json::text_of(file, "filename");
            std::string path = key;
            if (!dir.empty()) {
                path = dir;
                if (!name.empty() && name != ".") {
                    path += '/';
                    path += name;
                }
            }
            const json::Value* opens = file.find("opens");
            if (!opens)
                continue;
            for (const auto& [open_key, o] : opens->members()) {
                Open out;
                out.process = process_of(o);
                out.share_file_id = json::unsigned_of(o, "share_file_id");
                out.uid = static_cast<std::uint32_t>(json::unsigned_of(o, "uid"));
                out.user = json::text_of(o, "username");
                out.access_mask = access_mask_of(o);
                out.path = path;
                status.opens.push_back(std::move(out));
            }
        }
    }
    return status;
}

}  // namespace samba
}  // namespace netmgmt
