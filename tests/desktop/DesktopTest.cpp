// The desktop model's resource strings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "desktop/Desktop.h"

namespace {

TEST(Desktop, LoadsStringsAsLoadStringDoes) {
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x1234);
    desktop::RegisterModule(module, {{1, "Gantline"}, {2, std::string(300, 'x')}}, {});
    char buffer[256];
    std::memset(buffer, '?', sizeof buffer);
    EXPECT_EQ(desktop::LoadResourceString(module, 1, buffer, 256), 8);
    EXPECT_STREQ(buffer, "Gantline");
    EXPECT_EQ(desktop::LoadResourceString(module, 2, buffer, 256), 255);
    EXPECT_EQ(std::strlen(buffer), 255u);
    std::strcpy(buffer, "kept");
    EXPECT_EQ(desktop::LoadResourceString(module, 9, buffer, 256), 0);
    EXPECT_STREQ(buffer, "kept");
    EXPECT_EQ(desktop::LoadResourceString(nullptr, 1, buffer, 256), 0);
    desktop::UnregisterModule(module);
    EXPECT_EQ(desktop::LoadResourceString(module, 1, buffer, 256), 0);
}

}  // namespace
