// The address range of one scan: the checks Start makes, and the walk the
// scan thread takes through it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

using Octets = std::array<int, 4>;

std::string dotted(const Octets& address);

// The default range p1.p2.p3.1 to p1.p2.p3.255 from the host's first IPv4
// address, or 192.168.1.* when the host name does not resolve.
struct DefaultRange {
    Octets start;
    Octets end;
};
DefaultRange default_range(const std::optional<Octets>& host_address);

// The end address the start control's network gives: its first three
// octets and 255.
Octets end_of_network(const Octets& start);

// The start control's address once the user has changed field `field` to
// `value` (as the control's change notification gives them). The control
// reports its address as its fields summed in base 256, so a field typed
// beyond 255 would carry into the octet before it: that field's share is
// taken out of `reported` and put back clamped to 0..255, as the control
// itself will show it (a blank field, -1, reads as 0). Nothing when `field`
// is not 0 to 3.
std::optional<Octets> address_after_field_change(std::uint32_t reported, int field, int value);

enum class RangeCheck { Ok, EndBeforeStart, NotClassC };
// Only the third and fourth octets order the range; then the first two must
// agree. Equal addresses pass.
RangeCheck check_range(const Octets& start, const Octets& end);

// From the start up to, but not including, the end (the start alone when
// they are equal), crossing x.y.c.255 to x.y.(c+1).0. Expects a range that
// check_range accepted.
class ScanWalk {
public:
    ScanWalk(const Octets& start, const Octets& end);
    Octets current() const { return {first_, second_, c3_, c4_}; }
    // Addresses with a zero third or fourth octet are listed but not probed.
    bool probe_current() const { return c3_ != 0 && c4_ != 0; }
    // Moves to the next address; false when the range is finished.
    bool advance();

private:
    int first_, second_, c3_, c4_;
    int e3_, e4_;
};
