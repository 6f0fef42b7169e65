// The process-private font registry: faces added from files of any name, found by family name,
// and gone again once removed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <malloc.h>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZQ_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZQ_TEST_ASAN 1
#endif
#ifdef ZQ_TEST_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes();  // the sanitizer's own allocator
#endif

#include "canvas.h"

namespace fs = std::filesystem;

namespace {

const char kSystemSerif[] = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";

// An installed serif face under a family name fontconfig does not know: its name records are
// rewritten in place (same length, ASCII and UTF-16BE), under a file name without a font extension.
fs::path renamedFace(const fs::path& dir) {
  std::ifstream in(kSystemSerif, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto replaceAll = [&](const std::string& from, const std::string& to) {
    for (size_t at = data.find(from); at != std::string::npos; at = data.find(from, at + to.size()))
      data.replace(at, from.size(), to);
  };
  auto wide = [](const std::string& s) {
    std::string w;
    for (char c : s) w += '\0', w += c;
    return w;
  };
  replaceAll("DejaVu Serif", "Zqtest Fnt A");
  replaceAll(wide("DejaVu Serif"), wide("Zqtest Fnt A"));
  fs::path out = dir / "00000007.zq_";
  std::ofstream(out, std::ios::binary) << data;
  return out;
}

std::vector<uint8_t> render(const char* face, const char* text = "Registry Hg") {
  Canvas c(200, 40, kX8R8G8B8, 0);
  HFONT f = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, face);
  HGDIOBJ old = SelectObject(c.dc, f);
  SetTextColor(c.dc, RGB(255, 255, 255));
  SetBkMode(c.dc, TRANSPARENT);
  TextOutA(c.dc, 2, 2, text, int(std::strlen(text)));
  SelectObject(c.dc, old);
  DeleteObject(f);
  return c.mem;
}

// Bytes the process holds from the allocator now.
size_t AllocatedBytes() {
#ifdef ZQ_TEST_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  struct mallinfo2 mi = mallinfo2();
  return mi.uordblks + mi.hblkhd;  // large blocks are mapped apart
#endif
}

}  // namespace

TEST(GdiFontRegistry, AddedFaceIsFoundByNameUntilRemoved) {
  if (!fs::exists(kSystemSerif)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  fs::path dir = fs::temp_directory_path() / ("zq-gdi-fonts-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  fs::path file = renamedFace(dir);

  const auto serif = render("DejaVu Serif");
  const auto before = render("Zqtest Fnt A");
  ASSERT_NE(before, serif);  // unknown name: some other face

  // A font object made before the file is added resolves to the new face once it is.
  HFONT early = CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "zqtest fnt a");

  // Windows-style separators are accepted.
  std::string winPath = file.string();
  for (char& ch : winPath)
    if (ch == '/') ch = '\\';
  EXPECT_EQ(AddFontResourceA(winPath.c_str()), 1);
  EXPECT_EQ(render("Zqtest Fnt A"), serif);
  {
    Canvas c(200, 40, kX8R8G8B8, 0);
    HGDIOBJ old = SelectObject(c.dc, early);
    SetTextColor(c.dc, RGB(255, 255, 255));
    SetBkMode(c.dc, TRANSPARENT);
    TextOutA(c.dc, 2, 2, "Registry Hg", 11);
    EXPECT_EQ(c.mem, serif);  // names compare without case
    SelectObject(c.dc, old);
  }

  // Added twice, removed twice.
  EXPECT_EQ(AddFontResourceA(file.c_str()), 1);
  EXPECT_TRUE(RemoveFontResourceA(file.c_str()));
  EXPECT_EQ(render("Zqtest Fnt A"), serif);
  EXPECT_TRUE(RemoveFontResourceA(file.c_str()));
  EXPECT_EQ(render("Zqtest Fnt A"), before);
  EXPECT_FALSE(RemoveFontResourceA(file.c_str()));
  EXPECT_TRUE(DeleteObject(early));

  // Content decides: a text file named like a font is no font; a missing file neither.
  fs::path fake = dir / "fake.ttf";
  std::ofstream(fake) << "not a font at all";
  EXPECT_EQ(AddFontResourceA(fake.c_str()), 0);
  EXPECT_EQ(AddFontResourceA((dir / "missing.ttf").c_str()), 0);
  EXPECT_EQ(AddFontResourceA(nullptr), 0);
  EXPECT_FALSE(RemoveFontResourceA((dir / "missing.ttf").c_str()));
  fs::remove_all(dir);
}

TEST(GdiFontRegistry, UnreadableFilesFailTheirRegistration) {
  fs::path dir = fs::temp_directory_path() / ("zq-gdi-unreadable-" + std::to_string(::getpid()));
  fs::create_directories(dir / "folder.ttf");
  ASSERT_EQ(::mkfifo((dir / "pipe.ttf").c_str(), 0600), 0);
  // A folder, a pipe nobody writes and a device fail without throwing or waiting.
  for (const fs::path& p : {dir / "folder.ttf", dir / "pipe.ttf", fs::path("/dev/zero")}) {
    EXPECT_EQ(AddFontResourceA(p.c_str()), 0) << p;
    EXPECT_FALSE(RemoveFontResourceA(p.c_str())) << p;
  }
  fs::remove_all(dir);
}

TEST(GdiFontRegistry, AddingAndRemovingAgainDoesNotGrow) {
  if (!fs::exists(kSystemSerif)) GTEST_SKIP() << "fonts-dejavu-core is not installed";
  const char* file = kSystemSerif;
  auto cycle = [&](int times) {
    for (int i = 0; i < times; ++i) {
      ASSERT_EQ(AddFontResourceA(file), 1);
      ASSERT_TRUE(RemoveFontResourceA(file));
    }
  };
  cycle(10);
  const size_t before = AllocatedBytes();
  cycle(1000);
  EXPECT_LE(AllocatedBytes(), before + 16 * 1024) << "from " << before;
}

TEST(GdiFontRegistry, FontObjectsAndMulDiv) {
  struct {
    int a, b, c, r;
  } cases[] = {{16, 96, 72, 21}, {12, 96, 72, 16}, {9, 96, 72, 12}, {-16, 96, 72, -21},
               {5, 1, 2, 3},     {-5, 1, 2, -3},   {1, 1, 0, -1},   {0x40000000, 4, 1, -1}};
  for (auto& k : cases) EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.r) << k.a << "*" << k.b << "/" << k.c;

  HFONT f = CreateFontA(-21, 0, 0, 0, FW_HEAVY, 1, 0, 0, GB2312_CHARSET, 0, 0, PROOF_QUALITY, 0, "Face");
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(f, sizeof(lf), &lf), int(sizeof(lf)));
  EXPECT_EQ(lf.lfHeight, -21);
  EXPECT_EQ(lf.lfWeight, FW_HEAVY);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_STREQ(lf.lfFaceName, "Face");
  EXPECT_EQ(GetObjectType(f), DWORD(OBJ_FONT));
  HFONT g = CreateFontIndirectA(&lf);
  EXPECT_NE(g, nullptr);
  EXPECT_TRUE(DeleteObject(g));
  HDC screen = GetDC(nullptr);
  HGDIOBJ old = SelectObject(screen, f);
  EXPECT_EQ(old, GetStockObject(SYSTEM_FONT));
  EXPECT_FALSE(DeleteObject(f));  // selected
  SelectObject(screen, old);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(DeleteObject(f));
  EXPECT_EQ(GetObjectType(f), 0u);
  EXPECT_EQ(SelectObject(screen, f), nullptr);  // both handles are gone
}
