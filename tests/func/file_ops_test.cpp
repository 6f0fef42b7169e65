#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ZqLib.h"
#include "runtime_support.h"

namespace fs = std::filesystem;

TEST(FileOps, CopyMoveRenameDeleteSilently) {
  ScratchDir dir;
  WriteFileBytes(dir.file("a.txt"), "alpha");
  WriteFileBytes(dir.file("old.txt"), "stale");

  // Copy into a folder that does not exist yet; then overwrite without asking.
  EXPECT_EQ(CZqFunc::File_CopyTo("a.txt", "new\\deep\\b.txt"), 1);
  EXPECT_EQ(ReadFileText(dir.file("new/deep/b.txt")), "alpha");
  EXPECT_EQ(CZqFunc::File_CopyTo("a.txt", "old.txt"), 1);
  EXPECT_EQ(ReadFileText(dir.file("old.txt")), "alpha");

  EXPECT_EQ(CZqFunc::File_MoveTo("old.txt", "new\\moved.txt"), 1);
  EXPECT_FALSE(fs::exists(dir.file("old.txt")));
  EXPECT_EQ(ReadFileText(dir.file("new/moved.txt")), "alpha");

  EXPECT_EQ(CZqFunc::File_Rename("new\\moved.txt", "new\\renamed.txt"), 1);
  EXPECT_TRUE(fs::exists(dir.file("new/renamed.txt")));

  EXPECT_EQ(CZqFunc::File_Delete("new"), 1);  // a folder goes with its contents
  EXPECT_FALSE(fs::exists(dir.file("new")));

  EXPECT_EQ(CZqFunc::File_CopyTo("missing.txt", "x.txt"), 0);
  EXPECT_EQ(CZqFunc::File_MoveTo("missing.txt", "x.txt"), 0);
  EXPECT_EQ(CZqFunc::File_Delete("missing.txt"), 0);
  EXPECT_EQ(CZqFunc::File_Delete(""), 0);
  EXPECT_TRUE(fs::exists(dir.file("a.txt")));
}

TEST(FileOps, ShellListsAndConfirmation) {
  ScratchDir dir;
  WriteFileBytes(dir.file("1.txt"), "one");
  WriteFileBytes(dir.file("2.txt"), "two");
  WriteFileBytes(dir.file("keep.txt"), "keep");

  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_COPY;
  op.pFrom =
      "1.txt\0"
      "2.txt\0";
  op.pTo = "out\0";
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  EXPECT_EQ(SHFileOperationA(&op), 0);
  EXPECT_EQ(ReadFileText(dir.file("out/1.txt")), "one");
  EXPECT_EQ(ReadFileText(dir.file("out/2.txt")), "two");

  // Without FOF_NOCONFIRMATION nothing is asked: an existing target is kept and the
  // operation fails.
  op.pFrom = "1.txt\0";
  op.pTo = "keep.txt\0";
  op.fFlags = FOF_SILENT;
  EXPECT_NE(SHFileOperationA(&op), 0);
  EXPECT_EQ(ReadFileText(dir.file("keep.txt")), "keep");

  op.wFunc = FO_DELETE;
  op.pFrom =
      "1.txt\0"
      "2.txt\0";
  op.pTo = nullptr;
  EXPECT_EQ(SHFileOperationA(&op), 0);
  EXPECT_FALSE(fs::exists(dir.file("1.txt")) || fs::exists(dir.file("2.txt")));
  EXPECT_NE(SHFileOperationA(nullptr), 0);
}
