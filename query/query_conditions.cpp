#include "query/query_conditions.h"

#include <set>
#include <vector>

#include "common/gbk_text.h"

namespace {

const std::string kOrdinal = "第";

// The labels of one kind of record: "第N条<kind>" then the user's field and
// one other (the computer of a session, the path of an open file).
struct RecordLayout {
    std::string kind;
    std::string user, user_end;
    std::string other, other_end;
};
const RecordLayout kSessionLayout{"条会话记录:", "用户:", "计算机:", "计算机:", "打开文件数目:"};
const RecordLayout kFileLayout{"条文件记录:", "访问者:", "打开模式:", "文件:", "访问者:"};

struct Record {
    std::string text;
    std::string user;
    std::string other;
};

std::size_t char_length(const std::string& text, std::size_t at) {
    return gbk::is_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Where each record of a part starts: "第", digits and the kind label, on a
// character edge. One pass: a busy entry holds thousands of records.
std::vector<std::size_t> record_starts(const std::string& part, const std::string& kind) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < part.size(); at += char_length(part, at)) {
        if (part.compare(at, kOrdinal.size(), kOrdinal) != 0)
            continue;
        std::size_t digits_end = at + kOrdinal.size();
        while (digits_end < part.size() && is_digit(part[digits_end]))
            ++digits_end;
        if (digits_end > at + kOrdinal.size() && part.compare(digits_end, kind.size(), kind) == 0)
            starts.push_back(at);
    }
    return starts;
}

// The value after `label` up to `end_label` (or the record's end).
std::string field(const std::string& record, const std::string& label, const std::string& end_label) {
    auto at = gbk::find(record, label);
    if (at == std::string::npos)
        return {};
    at += label.size();
    auto end = gbk::find(record, end_label, at);
    return record.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::vector<Record> split_records(const std::string& part, const RecordLayout& layout) {
    std::vector<Record> records;
    auto starts = record_starts(part, layout.kind);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        std::size_t end = i + 1 < starts.size() ? starts[i + 1] : part.size();
        std::string text = part.substr(starts[i], end - starts[i]);
        std::string user = field(text, layout.user, layout.user_end);
        std::string other = field(text, layout.other, layout.other_end);
        records.push_back({std::move(text), std::move(user), std::move(other)});
    }
    return records;
}

// The users (folded) of the records whose other field matches `wanted`.
std::set<std::string> users_matching(const std::vector<Record>& records, const std::string& wanted) {
    std::set<std::string> users;
    for (const auto& r : records)
        if (field_matches(r.other, wanted))
            users.insert(gbk::fold_ascii(r.user));
    return users;
}

}  // namespace

bool field_matches(const std::string& value, const std::string& wanted) {
    return gbk::contains_folded(value, gbk::fold_ascii(wanted));
}

EntryRecords narrow_entry(const std::string& sessions, const std::string& files, const QueryConditions& conditions) {
    if (!conditions.any())
        return {sessions, files};
    auto session_records = split_records(sessions, kSessionLayout);
    auto file_records = split_records(files, kFileLayout);
    std::set<std::string> holding_file, on_computer;
    if (!conditions.file.empty())
        holding_file = users_matching(file_records, conditions.file);
    if (!conditions.computer.empty())
        on_computer = users_matching(session_records, conditions.computer);

    EntryRecords kept;
    for (const auto& s : session_records)
        if (field_matches(s.user, conditions.user) && field_matches(s.other, conditions.computer) &&
            (conditions.file.empty() || holding_file.count(gbk::fold_ascii(s.user))))
            kept.sessions += s.text;
    for (const auto& f : file_records)
        if (field_matches(f.user, conditions.user) && field_matches(f.other, conditions.file) &&
            (conditions.computer.empty() || on_computer.count(gbk::fold_ascii(f.user))))
            kept.files += f.text;
    return kept;
}
