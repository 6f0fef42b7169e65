// CZqFunc shell file operations: silent, without confirmation.
#include <sys/stat.h>

#include <climits>
#include <string>

#include "ZqFunc.h"
#include "ZqSource.h"
#include "common/Globals.h"

namespace {

// One name as a shell list: the name, its NUL and the closing NUL.
std::string List(const char* name) {
  std::string s(name ? name : "");
  s.push_back('\0');
  return s;  // c_str() adds the second NUL
}

int Run(UINT func, const char* from, const char* to) {
  std::string f = List(from), t = List(to);
  SHFILEOPSTRUCTA op = {};
  op.hwnd = zq::AppWindow();
  op.wFunc = func;
  op.pFrom = f.c_str();
  op.pTo = to ? t.c_str() : nullptr;
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  return SHFileOperationA(&op) == 0 ? 1 : 0;
}

}  // namespace

int CZqFunc::File_CopyTo(const char* from, const char* to) { return Run(FO_COPY, from, to); }
int CZqFunc::File_MoveTo(const char* from, const char* to) { return Run(FO_MOVE, from, to); }
int CZqFunc::File_Rename(const char* from, const char* to) { return Run(FO_RENAME, from, to); }

int CZqFunc::File_Delete(const char* path) {
  if (!path || !*path) return 0;
  return Run(FO_DELETE, path, nullptr);
}

int CZqFunc::File_UpdateInfo(sFileInfo* info) {
  if (!info) return 0;
  struct stat st;
  if (stat(zqMapPath(info->m_szFile).c_str(), &st) != 0) return 0;
  info->m_nSize = st.st_size > INT32_MAX ? INT32_MAX : (int32_t)st.st_size;
  if (info->m_type == FFT_JPG) {
    SStreamBuf s = ZQFBUF_Create(info->m_szFile, "rb");
    SIZE size = FileGetJpegSize(s);
    ZQFBUF_Close(s);
    info->m_image.m_nWidth = size.cx;
    info->m_image.m_nHeight = size.cy;
  }
  return 1;
}
