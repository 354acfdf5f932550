#include "monitor/status_line.h"

#include <cstdio>

#include "monitor/failure_messages.h"

namespace {

const char* what_failed(int source) {
    switch (static_cast<StatusSource>(source)) {
    case StatusSource::Shares:
        return "读取共享列表失败";
    case StatusSource::Sessions:
        return "读取会话列表失败";
    case StatusSource::OpenFiles:
        break;
    }
    return "读取打开文件列表失败";
}

}  // namespace

bool StatusLine::report(StatusSource source, std::uint32_t status, const LocalTime& now) {
    auto& failure = failures_[static_cast<int>(source)];
    if (status == 0)
        failure.reset();
    else if (!failure || failure->status != status)
        failure = Failure{status, now, next_order_++};

    // The failure that began first stays in view until it ends, so the line
    // does not flicker between lists that fail for one cause.
    int shown = -1;
    for (int i = 0; i < kSources; ++i)
        if (failures_[i] && (shown < 0 || failures_[i]->order < failures_[shown]->order))
            shown = i;
    std::string text;
    if (shown >= 0) {
        const Failure& f = *failures_[shown];
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d ", f.since.hour, f.since.minute, f.since.second);
        text = stamp + std::string(what_failed(shown)) + ":" + failure_cause(f.status);
    }
    if (text == text_)
        return false;
    text_ = std::move(text);
    return true;
}
