// Every device test starts from an empty device table and gives the machine's own drivers back.
#pragma once

#include <gtest/gtest.h>

#include "ZqLib.h"
#include "zqplatform/display_hooks.h"

class DeviceTableTest : public ::testing::Test {
 protected:
  void SetUp() override { Device_Cleanup(); }
  void TearDown() override {
    Device_Cleanup();
    zqDisplaySetDrivers(nullptr, -1);
  }
};
