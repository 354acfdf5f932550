#pragma once

#include <optional>

#include "scanner/scan_range.h"

// The first IPv4 address of this host's name, if the name resolves.
std::optional<Octets> host_address();
