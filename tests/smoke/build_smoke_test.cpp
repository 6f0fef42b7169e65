#include <gtest/gtest.h>

#include "ZqLib.h"

// The umbrella header compiles on its own and the status codes keep their values.
TEST(Build, StatusCodes) {
  EXPECT_EQ(static_cast<uint32_t>(ZQERR_NODEVICE), 0x8200000Fu);
  EXPECT_TRUE(FAILED(E_FAIL));
  EXPECT_TRUE(SUCCEEDED(S_OK));
}
