#include "common/single_instance_win.h"

#include "common/message_box_win.h"

bool SingleInstance::claim(const char* name) {
    if (HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name)) {
        CloseHandle(running);
        return false;
    }
    mutex_.reset(CreateMutexA(nullptr, FALSE, name));
    return true;
}

void SingleInstance::claim_or_leave(const char* name, const std::string& refusal) {
    if (claim(name))
        return;
    show_message(nullptr, refusal);
    ExitProcess(0);
}
