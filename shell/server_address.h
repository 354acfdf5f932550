// The maker's web server: the version file and the home page. FILVANE_SERVER
// overrides the base address (tests point it at a local server).
#pragma once

#include <string>

std::string server_base_address();
std::string home_page_address();
std::string version_file_address();
