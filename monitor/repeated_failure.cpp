#include "monitor/repeated_failure.h"

#include <chrono>

namespace {

constexpr std::int64_t kRepeatLineSeconds = 60;

}  // namespace

std::int64_t steady_seconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string RepeatedFailure::failed(const std::string& message, std::int64_t now) {
    if (message != message_) {
        message_ = message;
        last_line_ = now;
        since_line_ = 0;
        total_ = 1;
        return message;
    }
    ++since_line_;
    ++total_;
    if (now - last_line_ < kRepeatLineSeconds)
        return {};
    std::string line = message + "(此错误仍在持续,1分钟内又出现" + std::to_string(since_line_) + "次)";
    last_line_ = now;
    since_line_ = 0;
    return line;
}

std::string RepeatedFailure::cleared() {
    if (message_.empty())
        return {};
    std::string line = "已恢复正常:" + message_ + "(共出现" + std::to_string(total_) + "次)";
    message_.clear();
    return line;
}
