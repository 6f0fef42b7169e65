// Reading DIB descriptions (in memory and in .bmp files) and copying DIB pixels onto a surface.
#pragma once

#include <cstddef>
#include <cstdint>

#include "device_context.h"

namespace zqgdi {

struct DibView {
  int width = 0;
  int height = 0;  // rows, positive
  bool bottomUp = true;
  int bitsPerPixel = 0;
  size_t stride = 0;                // bytes a stored row, 4-byte aligned
  uint32_t masks[3] = {0, 0, 0};    // 16/32 bits: red, green, blue
  const uint8_t* colors = nullptr;  // colour table
  int colorCount = 0;
  bool coreColors = false;     // RGBTRIPLE entries (core header)
  size_t headerAndColors = 0;  // bytes from the header's start to the end of its colour table
  DWORD compression = BI_RGB;  // BI_RLE8 / BI_RLE4: bits are run-length coded, bottom-up
  size_t imageSize = 0;        // coded size of run-length bits (biSizeImage)
};

// The description of a BITMAPINFO (or BITMAPCOREINFO) given to the blit calls. False for a
// description this module cannot draw (compressed, bad sizes or depths) or one that does not fit
// in the available bytes.
bool readDib(const BITMAPINFO* bmi, DibView& out, size_t available = SIZE_MAX);

// A .bmp file in memory: its description and bits, checked against the buffer's size.
bool readBmpFile(const uint8_t* data, size_t size, DibView& out, const uint8_t** bits);

// Run-length coded bits expanded to one index byte a pixel (a per-thread buffer reused by the
// next call); view becomes the matching uncompressed 8-bit description. size: bytes available.
const uint8_t* expandRle(const DibView& dib, const uint8_t* bits, size_t size, DibView& view);

// Copies a source rectangle of the DIB (DIB coordinates: origin at the bottom-left of a bottom-up
// DIB, at the top-left of a top-down one) to a destination rectangle of the surface, stretching
// by nearest sample; negative sizes mirror. Only stored rows in [firstRow, firstRow + rowCount)
// exist in bits. colorTable: pixel values of the colour table in the surface's format.
void blitDib(const Surface& dst, const DibView& dib, const uint8_t* bits, const uint32_t* colorTable,
             int xDst, int yDst, int wDst, int hDst, int xSrc, int ySrc, int wSrc, int hSrc, int firstRow,
             int rowCount);

// Colour table of the DIB as pixel values of fmt (up to 256 entries; DIB_PAL_COLORS reads indices
// into the DC's palette).
void dibColorTable(const DibView& dib, UINT colorUse, const PaletteObject* palette, const PixelFormat& fmt,
                   uint32_t out[256]);

}  // namespace zqgdi
