// The texture record: a 28-byte header, then raw or run-length rows of one texture.
// Reading and writing work on memory so that every count is checked against the bytes held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ZqDefs.h"

namespace zqtexrec {

inline constexpr size_t kHeaderSize = 28;
inline constexpr size_t kDescSize = ZQ_DDSURFACEDESC2_STORED_SIZE;

// Op codes of run-length rows.
inline constexpr BYTE kOpRowMark = 0;
inline constexpr BYTE kOpSkip = 1;
inline constexpr BYTE kOpCopy = 2;
inline constexpr BYTE kOpEnd = 128;

struct Header {
  int32_t width = 0;  // logical size
  int32_t height = 0;
  int32_t format = 0;  // 0: old layout
  int32_t size = 0;    // record size; in the old layout the byte length of one row
  int32_t baseX = 0;
  int32_t baseY = 0;
  int32_t rle = 0;
};

void ReadHeader(const BYTE* in, Header& h);
void WriteHeader(const Header& h, BYTE* out);

// Pixels of a locked surface.
struct Pixels {
  BYTE* bits = nullptr;
  LONG pitch = 0;
  DWORD width = 0;
  DWORD height = 0;
  DWORD bpp = 0;
};

// Bytes of one raw row in the record: the surface pitch for formats above 10.
size_t RawRowBytes(int32_t format, const Pixels& px);

// Fills px from rows at data. False when a row, count or copy leaves the row, the pitch, the
// height or the data. Pixels not written keep their value.
bool DecodeRaw(const BYTE* data, size_t size, size_t rowBytes, const Pixels& px);
bool DecodeRle(const BYTE* data, size_t size, const Pixels& px);

// Appends the rows of px. The run-length form ends with the end op; alphaMask 0 makes every
// pixel opaque.
void EncodeRaw(const Pixels& px, size_t rowBytes, std::vector<BYTE>& out);
void EncodeRle(const Pixels& px, DWORD alphaMask, std::vector<BYTE>& out);

}  // namespace zqtexrec
