#include "shell/server_address.h"

#include <cstdlib>

std::string server_base_address() {
    const char* override_address = std::getenv("FILVANE_SERVER");
    std::string base = override_address && *override_address ? override_address : "http://www.quindarsoft.com";
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

std::string home_page_address() { return server_base_address() + "/"; }

std::string version_file_address() { return server_base_address() + "/version/filvane.txt"; }
