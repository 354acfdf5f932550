// Captured Samba reports under tests/data/samba.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "files.h"

inline std::string read_data(const std::string& name) {
    std::string bytes = read_test_data("samba/" + name);
    EXPECT_FALSE(bytes.empty()) << name;
    return bytes;
}
