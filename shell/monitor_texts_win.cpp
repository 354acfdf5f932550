#include "shell/monitor_texts_win.h"

#include "common/string_resource_win.h"
#include "shell/filvane_resources.h"

StatusTexts status_texts() {
    return {resource_text(IDS_STATUS_SHARES_FAILED),     resource_text(IDS_STATUS_SESSIONS_FAILED),
            resource_text(IDS_STATUS_OPEN_FILES_FAILED), resource_text(IDS_STATUS_DAY_FILE_FAILED),
            resource_text(IDS_STATUS_UNWRITTEN),         resource_text(IDS_STATUS_STALE)};
}

PassBoxTexts pass_box_texts() {
    return {resource_text(IDS_ERROR_LOG_FAILED), resource_text(IDS_DAY_FILE_NOT_CREATED),
            resource_text(IDS_DAY_FILE_FAILED)};
}
