#include <gtest/gtest.h>

#include <cstring>

#include "zqplatform/display.h"

TEST(DisplayRecords, SurfaceDescriptionStoresThe32BitLayout) {
  DDSURFACEDESC2 d;
  std::memset(&d, 0, sizeof d);
  d.dwSize = 124;
  d.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
  d.dwHeight = 600;
  d.dwWidth = 800;
  d.lpSurface = &d;  // pointers never reach the bytes
  d.ddckCKSrcBlt = {0x11, 0x22};
  d.ddpfPixelFormat.dwSize = 32;
  d.ddpfPixelFormat.dwRGBBitCount = 16;
  d.ddpfPixelFormat.dwRBitMask = 0xF800;
  d.ddsCaps.dwCaps2 = DDSCAPS2_STEREOSURFACELEFT;
  d.dwTextureStage = 7;
  BYTE b[ZQ_DDSURFACEDESC2_STORED_SIZE];
  zqWriteSurfaceDesc(d, b);
  auto u32 = [&](int off) {
    return DWORD(b[off]) | DWORD(b[off + 1]) << 8 | DWORD(b[off + 2]) << 16 | DWORD(b[off + 3]) << 24;
  };
  EXPECT_EQ(u32(0), 124u);
  EXPECT_EQ(u32(8), 600u);
  EXPECT_EQ(u32(12), 800u);
  EXPECT_EQ(u32(36), 0u);     // lpSurface slot
  EXPECT_EQ(u32(64), 0x11u);  // ddckCKSrcBlt
  EXPECT_EQ(u32(72), 32u);    // ddpfPixelFormat.dwSize
  EXPECT_EQ(u32(84), 16u);    // bit count
  EXPECT_EQ(u32(88), 0xF800u);
  EXPECT_EQ(u32(108), DWORD(DDSCAPS2_STEREOSURFACELEFT));
  EXPECT_EQ(u32(120), 7u);
  DDSURFACEDESC2 back;
  zqReadSurfaceDesc(b, back);
  EXPECT_EQ(back.dwWidth, 800u);
  EXPECT_EQ(back.lpSurface, nullptr);
  EXPECT_EQ(back.ddckCKSrcBlt.dwColorSpaceHighValue, 0x22u);
  EXPECT_EQ(back.ddpfPixelFormat.dwRBitMask, 0xF800u);
}

TEST(DisplayRecords, CapsAndDeviceDescriptionRoundTripAtFixedOffsets) {
  DDCAPS c;
  std::memset(&c, 0, sizeof c);
  c.dwCaps2 = DDCAPS2_CANRENDERWINDOWED;
  c.dwNLVBRops[7] = 0xABCD;
  c.ddsCaps.dwCaps4 = 9;
  BYTE b[ZQ_DDCAPS_STORED_SIZE];
  zqWriteDDCaps(c, b);
  EXPECT_EQ(b[8], 0x00);
  EXPECT_EQ(b[10], 0x08);  // 0x80000 at offset 8
  EXPECT_EQ(b[360], 0xCD);
  EXPECT_EQ(b[376], 9);
  DDCAPS c2;
  zqReadDDCaps(b, c2);
  EXPECT_EQ(std::memcmp(&c, &c2, sizeof c), 0);

  D3DDEVICEDESC7 d;
  std::memset(&d, 0, sizeof d);
  d.dwDevCaps = D3DDEVCAPS_HWRASTERIZATION;
  d.dpcTriCaps.dwRasterCaps = D3DPRASTERCAPS_ZBUFFERLESSHSR;
  d.dwDeviceRenderBitDepth = DDBD_16;
  d.dwMaxTextureWidth = 2048;
  d.deviceGUID = IID_IDirect3DTnLHalDevice;
  d.dwReserved4 = 0x44;
  BYTE e[ZQ_D3DDEVICEDESC7_STORED_SIZE];
  zqWriteDeviceDesc(d, e);
  EXPECT_EQ(e[60 + 8 + 1], 0x80);  // dpcTriCaps.dwRasterCaps = 0x8000
  EXPECT_EQ(e[116], 0x00);
  EXPECT_EQ(e[117], 0x04);      // render depths at 116
  EXPECT_EQ(e[132 + 1], 0x08);  // max texture width 2048 at 132
  EXPECT_EQ(e[196], 0x78);      // GUID Data1 low byte at 196
  EXPECT_EQ(e[232], 0x44);
  D3DDEVICEDESC7 d2;
  zqReadDeviceDesc(e, d2);
  EXPECT_EQ(std::memcmp(&d, &d2, sizeof d), 0);
}
