#include "device/RegMapStuff.h"
#include <gtest/gtest.h>
TEST(Smoke, TableBuilds) {
    RegMapStuff::BuildRegisterTable();
    EXPECT_EQ(RegMapStuff::RegisterTable[40].ReadAddr, 0xFF);
}
