// Whole files in and out, for tests that check bytes on disk.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A file of the tests' data folder.
inline std::string read_test_data(const std::string& name) {
    return read_file(std::string(FILVANE_TEST_DATA) + "/" + name);
}
