// JPEG fixtures are made at test time from a PPM written here, with libjpeg-turbo-progs:
//   cjpeg [-progressive | -grayscale | -restart 1] -outfile X.jpg src.ppm
// and the expected pixels come from `djpeg -pnm` of the same file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ZqLib.h"
#include "assets/JpegInternal.h"
#include "runtime_support.h"

namespace {

constexpr int kW = 37, kH = 23;

void WritePpm(const std::string& path) {
  std::string data = "P6\n" + std::to_string(kW) + " " + std::to_string(kH) + "\n255\n";
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      data.push_back((char)(x * 7));
      data.push_back((char)(y * 11));
      data.push_back((char)((x * y) & 0xFF));
    }
  WriteFileBytes(path, data);
}

void Shell(const std::string& cmd) { ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd; }

// Pixels of a PNM (P5 or P6) as written by djpeg.
std::string PnmPixels(const std::string& pnm) {
  size_t pos = 0;
  for (int fields = 0; fields < 4; ++fields) {
    while (pos < pnm.size() && isspace((unsigned char)pnm[pos])) ++pos;
    while (pos < pnm.size() && !isspace((unsigned char)pnm[pos])) ++pos;
  }
  return pnm.substr(pos + 1);
}

struct Decoded {
  int ok = 0;
  ZqJpegImage image = {0, 0, 0};
  std::string pixels;
  int rows = 0;
};

int CollectRow(void* ctx, int row, const unsigned char* px, const ZqJpegImage* image) {
  auto* d = static_cast<Decoded*>(ctx);
  EXPECT_EQ(row, d->rows);
  d->pixels.append(reinterpret_cast<const char*>(px), (size_t)image->width * image->components);
  ++d->rows;
  return 1;
}

Decoded DecodeFile(const std::string& path) {
  Decoded d;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return d;
  d.ok = ZqJpeg_Decode(f, CollectRow, &d, &d.image);
  fclose(f);
  return d;
}

SIZE ProbeSize(const std::string& name, int offset = 0) {
  SStreamBuf s = CZqFunc::ZQFBUF_Create(name.c_str(), "rb");
  s.m_nOffset = offset;
  SIZE size = CZqFunc::FileGetJpegSize(s);
  CZqFunc::ZQFBUF_Close(s);
  return size;
}

class Jpeg : public ::testing::Test {
 protected:
  void SetUp() override {
    zqClearRecordedMessageBoxes();
    WritePpm(dir.file("src.ppm"));
    Shell("cjpeg -outfile base.jpg src.ppm");
  }
  void TearDown() override { zqClearRecordedMessageBoxes(); }
  ScratchDir dir;
};

}  // namespace

TEST_F(Jpeg, ReadsEveryKindLikeTheLibraryTools) {
  Shell("cjpeg -progressive -outfile prog.jpg src.ppm");
  Shell("cjpeg -grayscale -outfile grey.jpg src.ppm");
  Shell("cjpeg -restart 1 -outfile restart.jpg src.ppm");
  // A 60000-byte APP1 segment right after the start marker: skipped across many refills.
  std::string base = ReadFileText(dir.file("base.jpg"));
  std::string app = "\xFF\xE1";
  const int len = 60000;
  app.push_back((char)(len >> 8));
  app.push_back((char)(len & 0xFF));
  app.append(len - 2, 'A');
  WriteFileBytes(dir.file("app.jpg"), base.substr(0, 2) + app + base.substr(2));

  struct Case {
    const char* file;
    int components;
  } cases[] = {{"base.jpg", 3}, {"prog.jpg", 3}, {"grey.jpg", 1}, {"restart.jpg", 3}, {"app.jpg", 3}};
  for (const Case& c : cases) {
    SIZE size = ProbeSize(c.file);
    EXPECT_EQ(size.cx, kW) << c.file;
    EXPECT_EQ(size.cy, kH) << c.file;
    Decoded d = DecodeFile(dir.file(c.file));
    EXPECT_EQ(d.ok, 1) << c.file;
    EXPECT_EQ(d.image.components, c.components) << c.file;
    EXPECT_EQ(d.rows, kH) << c.file;
    Shell(std::string("djpeg -pnm -outfile expect.pnm ") + c.file);
    EXPECT_TRUE(d.pixels == PnmPixels(ReadFileText(dir.file("expect.pnm")))) << c.file;
  }
  EXPECT_TRUE(zqRecordedMessageBoxes().empty());
}

TEST_F(Jpeg, SizeProbeAtTheBaseOffset) {
  std::string base = ReadFileText(dir.file("base.jpg"));
  WriteFileBytes(dir.file("packed.bin"), std::string(1000, '\x55') + base);
  SIZE size = ProbeSize("packed.bin", 1000);
  EXPECT_EQ(size.cx, kW);
  EXPECT_EQ(size.cy, kH);
  size = ProbeSize("packed.bin", 0);  // not a JPEG there: quietly (0, 0)
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(size.cy, 0);
  SStreamBuf none;
  EXPECT_EQ(CZqFunc::FileGetJpegSize(none).cx, 0);
  EXPECT_TRUE(zqRecordedMessageBoxes().empty());
}

TEST_F(Jpeg, BrokenFilesFailQuietly) {
  WriteFileBytes(dir.file("empty.jpg"), "");
  SIZE size = ProbeSize("empty.jpg");
  EXPECT_EQ(size.cx, 0);
  EXPECT_EQ(DecodeFile(dir.file("empty.jpg")).ok, 0);

  // Cut inside the entropy-coded data: a failure, not a picture completed with a fake end.
  std::string base = ReadFileText(dir.file("base.jpg"));
  size_t sos = base.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  WriteFileBytes(dir.file("cut.jpg"), base.substr(0, sos + 40));
  EXPECT_EQ(ProbeSize("cut.jpg").cx, kW);  // the header is whole
  Decoded d = DecodeFile(dir.file("cut.jpg"));
  EXPECT_EQ(d.ok, 0);
  EXPECT_LT(d.rows, kH);
  EXPECT_EQ(DecodeFile(dir.file("src.ppm")).ok, 0);
  EXPECT_TRUE(zqRecordedMessageBoxes().empty());
}

TEST_F(Jpeg, PackEntryTakesSizeAndPictureSize) {
  sFileInfo info = {};
  info.m_type = FFT_JPG;
  strcpy(info.m_szFile, "base.jpg");
  EXPECT_EQ(CZqFunc::File_UpdateInfo(&info), 1);
  EXPECT_EQ(int32_t{info.m_nSize}, (int32_t)ReadFileText(dir.file("base.jpg")).size());
  EXPECT_EQ(int32_t{info.m_image.m_nWidth}, kW);
  EXPECT_EQ(int32_t{info.m_image.m_nHeight}, kH);
  strcpy(info.m_szFile, "missing.jpg");
  EXPECT_EQ(CZqFunc::File_UpdateInfo(&info), 0);
}

TEST_F(Jpeg, WarningsReachOneBoxPerDecompression) {
  // Stray bytes before two header markers: two "extraneous bytes" warnings in one decompression.
  std::string base = ReadFileText(dir.file("base.jpg"));
  size_t dqt = base.find("\xFF\xDB");
  ASSERT_NE(dqt, std::string::npos);
  std::string noisy =
      base.substr(0, 2) + "\x01\x02" + base.substr(2, dqt - 2) + "\x03\x04\x05" + base.substr(dqt);
  WriteFileBytes(dir.file("noisy.jpg"), noisy);

  Decoded d = DecodeFile(dir.file("noisy.jpg"));
  EXPECT_EQ(d.ok, 1);
  EXPECT_EQ(d.rows, kH);
  auto boxes = zqRecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "JPEG Error");
  EXPECT_EQ(boxes[0].text, "Corrupt JPEG data: 2 extraneous bytes before marker 0xe0");
  EXPECT_EQ(boxes[0].flags, (UINT)MB_OK);

  // Each decompression shows its own first warning: the size probe adds one more box.
  EXPECT_EQ(ProbeSize("noisy.jpg").cx, kW);
  EXPECT_EQ(zqRecordedMessageBoxes().size(), 2u);
}

// The engine's default error exit shows the error, destroys the decompressor and jumps back.
TEST_F(Jpeg, DefaultErrorExitShowsTheErrorAndJumpsBack) {
  WriteFileBytes(dir.file("empty.jpg"), "");
  FILE* f = fopen(dir.file("empty.jpg").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  struct {
    jpeg_decompress_struct cinfo;
    ZqJpegError err;
  } s;
  memset(&s, 0, sizeof s);
  s.cinfo.err = zq_jpeg_std_error(&s.err);
  volatile int jumped = 0;
  if (setjmp(*zq_jpeg_jump(&s.err)) == 0) {
    jpeg_create_decompress(&s.cinfo);
    zq_jpeg_stdio_src(&s.cinfo, f);
    jpeg_read_header(&s.cinfo, TRUE);
  } else {
    jumped = 1;
  }
  fclose(f);
  EXPECT_EQ(jumped, 1);
  EXPECT_EQ(s.cinfo.mem, nullptr);  // destroyed by the exit
  auto boxes = zqRecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Empty input file");
  EXPECT_EQ(boxes[0].caption, "JPEG Error");
}
