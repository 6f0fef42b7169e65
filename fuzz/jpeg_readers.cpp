// Both quiet JPEG readers over arbitrary bytes.
// Seeds in fuzz/corpus/jpeg_readers: cjpeg of an 8x8 PPM, plain, -progressive, -grayscale -restart 1.
#include <cstdint>
#include <cstdio>

#include "ZqLib.h"

namespace {
int Row(void* ctx, int, const unsigned char* px, const ZqJpegImage* image) {
  unsigned sum = 0;
  for (int i = 0; i < image->width * image->components; ++i) sum += px[i];
  *static_cast<unsigned*>(ctx) += sum;
  return 1;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > (1 << 20)) return 0;
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!f) return 0;
  int w = 0, h = 0;
  // Small pictures only: a few bytes can claim a huge one, and decoding it costs time, not coverage.
  if (ZqJpeg_ReadSize(f, &w, &h) && (long)w * h <= 512L * 512L) {
    rewind(f);
    unsigned sum = 0;
    ZqJpeg_Decode(f, Row, &sum);
  }
  fclose(f);
  zqClearRecordedMessageBoxes();
  return 0;
}
