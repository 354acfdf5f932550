#include <windows.h>

#include "common/local_time.h"

LocalTime current_local_time() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}
