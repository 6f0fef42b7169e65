#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ZqLib.h"
#include "runtime_support.h"

TEST(StreamBuf, PositionsAreRelativeToTheBaseOffset) {
  ScratchDir dir;
  std::string bytes;
  for (int i = 0; i < 200; ++i) bytes.push_back((char)i);
  WriteFileBytes(dir.file("data.bin"), bytes);

  SStreamBuf s = CZqFunc::ZQFBUF_Create("data.bin", "rb");
  ASSERT_NE(s.m_pFile, nullptr);
  EXPECT_EQ(s.m_nSize, 200);
  EXPECT_EQ(s.m_nOffset, 0);
  s.m_nOffset = 100;

  unsigned char b = 0;
  CZqFunc::ZQFBUF_Set(s, 4);
  EXPECT_EQ(CZqFunc::ZQFBUF_Tell(s), 104);
  EXPECT_EQ(CZqFunc::ZQFBUF_Read(&b, 1, 1, s), 1u);
  EXPECT_EQ(b, 104);

  // Only a position from the start is moved by the base offset.
  EXPECT_EQ(CZqFunc::ZQFBUF_Seek(&s, 10, SEEK_SET), 0);
  EXPECT_EQ(CZqFunc::ZQFBUF_Tell(&s), 110);
  EXPECT_EQ(CZqFunc::ZQFBUF_Seek(&s, 5, SEEK_CUR), 0);
  EXPECT_EQ(CZqFunc::ZQFBUF_Tell(&s), 115);
  EXPECT_EQ(CZqFunc::ZQFBUF_Seek(&s, -10, SEEK_END), 0);
  EXPECT_EQ(CZqFunc::ZQFBUF_Tell(&s), 190);

  EXPECT_EQ(CZqFunc::ZQFBUF_Close(s), 0);
  EXPECT_EQ(s.m_pFile, nullptr);
  EXPECT_EQ(CZqFunc::ZQFBUF_Close(s), -1);  // a second close is harmless
}

TEST(StreamBuf, WriteAtOffsetAndNullStreams) {
  ScratchDir dir;
  SStreamBuf w = CZqFunc::ZQFBUF_Create("out.bin", "w+b");
  ASSERT_NE(w.m_pFile, nullptr);
  EXPECT_EQ(w.m_nSize, 0);
  w.m_nOffset = 3;
  CZqFunc::ZQFBUF_Set(w, 1);
  EXPECT_EQ(CZqFunc::ZQFBUF_Write("AB", 1, 2, w), 2u);
  CZqFunc::ZQFBUF_Close(w);
  EXPECT_EQ(ReadFileText(dir.file("out.bin")), std::string("\0\0\0\0AB", 6));

  SStreamBuf missing = CZqFunc::ZQFBUF_Create("missing.bin", "rb");
  EXPECT_EQ(missing.m_pFile, nullptr);
  EXPECT_EQ(missing.m_nSize, 0);
  char buf[4];
  EXPECT_EQ(CZqFunc::ZQFBUF_Set(missing, 0), -1);
  EXPECT_EQ(CZqFunc::ZQFBUF_Seek(missing, 0, SEEK_SET), -1);
  EXPECT_EQ(CZqFunc::ZQFBUF_Read(buf, 1, 4, missing), 0u);
  EXPECT_EQ(CZqFunc::ZQFBUF_Write(buf, 1, 4, missing), 0u);
  EXPECT_EQ(CZqFunc::ZQFBUF_Tell(missing), -1);
  EXPECT_EQ(CZqFunc::ZQFBUF_Close(missing), -1);
  EXPECT_EQ(CZqFunc::ZQFBUF_Read(buf, 1, 4, (SStreamBuf*)nullptr), 0u);
}
