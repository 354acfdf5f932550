// The building sequence of a drawn menu: which AppendMenu flags each append
// passes. The side bar asks the next item to open a new column; a separator
// in between cancels that.
#pragma once

namespace menu {

// The AppendMenu flags involved, with their Win32 values.
constexpr unsigned kFlagMenuBreak = 0x0040;  // MF_MENUBREAK
constexpr unsigned kFlagOwnerDraw = 0x0100;  // MF_OWNERDRAW
constexpr unsigned kFlagSeparator = 0x0800;  // MF_SEPARATOR

class ColumnBreak {
public:
    unsigned title_strip();
    unsigned item(unsigned flags);
    unsigned separator();
    bool pending() const { return pending_; }

private:
    bool pending_ = false;
};

}  // namespace menu
