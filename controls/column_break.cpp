#include "controls/column_break.h"

namespace menu {

unsigned ColumnBreak::title_strip() {
    pending_ = true;
    return kFlagOwnerDraw | kFlagSeparator;
}

unsigned ColumnBreak::item(unsigned flags) {
    flags |= kFlagOwnerDraw;
    if (pending_)
        flags |= kFlagMenuBreak;
    pending_ = false;
    return flags;
}

unsigned ColumnBreak::separator() {
    pending_ = false;
    return kFlagOwnerDraw | kFlagSeparator;
}

}  // namespace menu
