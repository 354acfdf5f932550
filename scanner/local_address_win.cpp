#include <winsock2.h>

#include "scanner/local_address_win.h"

std::optional<Octets> host_address() {
    // The host name as Winsock's gethostname gives it (which Winelib does not
    // declare, leaving the name to unistd.h).
    char name[128];
    DWORD size = sizeof name;
    if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size))
        return std::nullopt;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0])
        return std::nullopt;
    const auto* a = reinterpret_cast<const unsigned char*>(host->h_addr_list[0]);
    return Octets{a[0], a[1], a[2], a[3]};
}
