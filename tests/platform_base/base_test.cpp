#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "zqplatform/base.h"

namespace fs = std::filesystem;

TEST(Clock, ManualClockDrivesTimeAndSleepAndWraps) {
  zqSetManualClock(TRUE, 1000);
  EXPECT_EQ(timeGetTime(), 1000u);
  Sleep(50);
  EXPECT_EQ(timeGetTime(), 1050u);
  EXPECT_EQ(GetTickCount(), 1050u);
  zqAdvanceClock(0xFFFFFFFFu - 1050u + 10u);  // past 2^32
  EXPECT_EQ(timeGetTime(), 9u);
  EXPECT_EQ(timeBeginPeriod(1), UINT(TIMERR_NOERROR));
  EXPECT_EQ(timeEndPeriod(1), UINT(TIMERR_NOERROR));
  zqSetManualClock(FALSE, 0);
  DWORD a = timeGetTime();
  Sleep(2);
  EXPECT_GE(timeGetTime() - a, 2u);
}

TEST(Random, MatchesTheMsvcSequence) {
  zq_srand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int e : expected) EXPECT_EQ(zq_rand(), e);
  zq_srand(12345);
  int first = zq_rand();
  zq_srand(12345);
  EXPECT_EQ(zq_rand(), first);
  for (int i = 0; i < 1000; ++i) {
    int r = zq_rand();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, ZQ_RAND_MAX);
  }
}

TEST(Cpu, FeatureWordHasMmx) { EXPECT_TRUE(zqCpuFeatureWord() & (1u << 23)); }

TEST(CodePage, ConvertsAndKeepsTheRestOfBadInput) {
  EXPECT_EQ(zqGbkToUtf8("\xD6\xD0\xCE\xC4"), "中文");
  EXPECT_EQ(zqUtf8ToGbk("中文 ok"), "\xD6\xD0\xCE\xC4 ok");
  EXPECT_EQ(zqBig5ToUtf8("Ombrel\xA9\xD4\xC5\x51\xC0\x5D(V1006)"), "Ombrel拉霸館(V1006)");
  EXPECT_EQ(zqGbkToUtf8("a\xFF"
                        "b"),
            "a?b");                                     // invalid byte
  EXPECT_EQ(zqGbkToUtf8("ab\xD6"), "ab?");              // cut-off double byte
  EXPECT_EQ(zqUtf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");  // not in GBK: one mark per character
  EXPECT_EQ(zqGbkToUtf8(""), "");
}

class PathMap : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zqpath-" + std::to_string(getpid()));
    fs::create_directories(root / "Data" / "Sub");
    fs::create_directories(root / u8"配置");
    std::ofstream(root / "Data" / "Sub" / "File.TXT") << "x";
    std::ofstream(root / u8"配置" / u8"乗.ini") << "x";
  }
  void TearDown() override { fs::remove_all(root); }
  std::string win(const std::string& rel) {  // the root in Windows form, then rel
    std::string s = root.string();
    for (char& c : s)
      if (c == '/') c = '\\';
    return s + "\\" + rel;
  }
  fs::path root;
};

TEST_F(PathMap, SeparatorsCaseAndGbkNames) {
  struct Case {
    std::string in;
    fs::path want;
  } cases[] = {
      {"Data\\Sub\\File.TXT", root / "Data/Sub/File.TXT"},
      {"data\\SUB\\file.txt", root / "Data/Sub/File.TXT"},
      // GBK "配置\乗.ini": 乗 is 81 5C, whose trail byte must not split the name
      {"\xC5\xE4\xD6\xC3\\\x81\x5C.ini", root / u8"配置/乗.ini"},
      {"Data\\Missing\\new.txt", root / "Data/Missing/new.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(zqMapPath(win(c.in).c_str()), c.want.string()) << c.in;
  std::string drive = "C:" + win("Data\\Sub\\File.TXT");
  EXPECT_EQ(zqMapPath(drive.c_str()), (root / "Data/Sub/File.TXT").string());
  EXPECT_EQ(zqMapPath((root / "Data/Sub/File.TXT").c_str()), (root / "Data/Sub/File.TXT").string());
  EXPECT_EQ(zqMapPath(""), "");
  EXPECT_EQ(zqMapPath(nullptr), "");
}

TEST(Module, FileNameIsWindowsStyleAndCut) {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  ASSERT_GT(n, 0u);
  std::string p(buf, n);
  EXPECT_EQ(p.find('/'), std::string::npos);
  EXPECT_NE(p.rfind("\\test_platform_base"), std::string::npos);
  EXPECT_EQ(zqMapPath(buf), fs::canonical("/proc/self/exe").string());
  EXPECT_EQ(GetModuleFileNameA(GetModuleHandleA(nullptr), buf, sizeof buf), n);
  char small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 4u);
  EXPECT_EQ(std::strlen(small), 4u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Mutex, SecondInstanceSeesTheFirst) {
  std::string name = "zq test mutex " + std::to_string(getpid());
  HANDLE a = CreateMutexA(nullptr, TRUE, name.c_str());
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
  HANDLE b = CreateMutexA(nullptr, TRUE, name.c_str());
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(CloseHandle(b));
  pid_t child = fork();
  if (child == 0) {
    HANDLE c = CreateMutexA(nullptr, TRUE, name.c_str());
    _exit(c && GetLastError() == ERROR_ALREADY_EXISTS ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(ReleaseMutex(a));
  EXPECT_TRUE(CloseHandle(a));
  HANDLE d = CreateMutexA(nullptr, TRUE, name.c_str());
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
  EXPECT_TRUE(CloseHandle(d));
  EXPECT_FALSE(CloseHandle(d));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}
