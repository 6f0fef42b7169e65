// Texture record rows over arbitrary bytes: the header's size, format and run-length flag pick
// the layout; decoded pixels are coded again and must read back the same.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../engine/assets/TextureRecord.cpp"

namespace {

DWORD BitsOf(int32_t format) {
  switch (format) {
    case D3DX_SF_R8G8B8:
      return 24;
    case D3DX_SF_A8R8G8B8:
    case D3DX_SF_X8R8G8B8:
      return 32;
    default:
      return 16;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < zqtexrec::kHeaderSize || size > (1 << 20)) return 0;
  zqtexrec::Header h;
  zqtexrec::ReadHeader(data, h);
  // The device bounds real textures; keep the fuzzer's within its memory limit.
  const DWORD w = (DWORD)(h.width & 0x1FF), ht = (DWORD)(h.height & 0x1FF);
  zqtexrec::Pixels px;
  px.width = w;
  px.height = ht;
  px.bpp = BitsOf(h.format);
  px.pitch = (LONG)((w * px.bpp / 8 + 3) & ~3u);
  std::vector<BYTE> bits((size_t)px.pitch * ht + 1);
  px.bits = bits.data();
  const BYTE* rows = data + zqtexrec::kHeaderSize;
  size_t n = size - zqtexrec::kHeaderSize;
  bool ok;
  if (h.rle) {
    ok = zqtexrec::DecodeRle(rows, n, px);
  } else {
    if (n < zqtexrec::kDescSize) return 0;
    ok = zqtexrec::DecodeRaw(rows + zqtexrec::kDescSize, n - zqtexrec::kDescSize,
                             h.format == 0 ? (size_t)(uint32_t)h.size : zqtexrec::RawRowBytes(h.format, px),
                             px);
  }
  if (!ok || px.bpp == 24) return 0;
  // Every pixel opaque: the coded rows carry every pixel and must decode to the same.
  std::vector<BYTE> coded;
  zqtexrec::EncodeRle(px, 0, coded);
  std::vector<BYTE> again(bits.size());
  zqtexrec::Pixels back = px;
  back.bits = again.data();
  if (!zqtexrec::DecodeRle(coded.data(), coded.size(), back)) abort();
  for (DWORD y = 0; y < ht; ++y)
    if (memcmp(bits.data() + (size_t)y * px.pitch, again.data() + (size_t)y * px.pitch, w * px.bpp / 8))
      abort();
  return 0;
}
