// Engine utilities: CZqFunc (fonts, paths, file types, shell file operations, stream
// buffers, colour texts, CPU caps, global pointers, UI edit mode), SStreamBuf, CZqText.
// The vector and matrix helpers of the same family live in ZqMath.h.
#pragma once

#include <cstdio>
#include <list>
#include <string>

#include "ZqDefs.h"
#include "ZqMath.h"

class CZqApp;
class CZqDebug;
class CZqSource;
struct sFont;
struct sFileInfo;

// File-type code of a resource: derived from a file's extension.
enum _FILE_FORMAT_TYPE : int32_t {
  FFT_NONE = 0,
  FFT_FOLDER = 1,
  FFT_INI = 2,
  FFT_BMP = 3,
  FFT_JPG = 4,
  FFT_TGA = 5,
  FFT_WAV = 6,
  FFT_PGM = 7,
  FFT_PGG = 8,
  FFT_TEX = 9,
  FFT_TXG = 10,
  FFT_TXT = 11,
  FFT_AVI = 12,
  FFT_MPG = 13,
  FFT_MPEG = 14,
  FFT_WMV = 15,
  FFT_MP3 = 16,
  FFT_MID = 17,
  FFT_WMA = 18,
  FFT_MAP = 19,
  FFT_FNT = 20,
  FFT_FON = 21,
  FFT_TTF = 22,
  FFT_FOT = 23,
  FFT_ZQS = 24,
};

// A file stream whose positions are relative to a base offset, so one file can hold
// several objects. Created with ZQFBUF_Create, closed with ZQFBUF_Close.
struct SStreamBuf {
  FILE* m_pFile = nullptr;  // null when the file did not open
  int32_t m_nSize = 0;      // the file's length when it was opened
  int32_t m_nOffset = 0;    // base offset of every position
};

// Rows of strings.
class ZQ_API CZqText {
 public:
  CZqText();
  virtual ~CZqText();
  std::list<std::list<std::string>> m_rows;
};

class ZQ_API CZqFunc : public CZqMath {
 public:
  CZqFunc() = delete;

  // Fonts. Defaults: 16 points, charset 1, empty face.
  static void Font_SetDefaultFont(long size, const char* face, long charset);
  static HFONT Font_QuickCreateFont(long size, const char* face, long charset, int italic = 0,
                                    int underline = 0, int strikeout = 0);
  static HFONT Font_QuickCreateFont(const sFont& font);
  static int Font_AddResource(const char* path);
  static int Font_RemoveResource(const char* path);
  static const char* Font_GetName(const char* name, CZqSource* pack);

  // Paths: results end with two NULs; buffers hold 256 characters.
  static char* Path_RectifyPath(char* dst, const char* src = nullptr);
  static char* Path_GetPathFile(char* dst, const char* path);
  static char* Path_GetParentPath(char* dst, const char* path);
  static char* Path_MakeFullPath(char* dst, const char* path = nullptr);

  // File types and shell file operations (1 on success, else 0).
  static const char* File_GetExt(long type);
  static _FILE_FORMAT_TYPE File_GetFFT(const char* path);
  static int FileCompareExt(const char* path, const char* ext);
  static int File_UpdateInfo(sFileInfo* info);
  static int File_CopyTo(const char* from, const char* to);
  static int File_MoveTo(const char* from, const char* to);
  static int File_Rename(const char* from, const char* to);
  static int File_Delete(const char* path);
  // Width and height of the JPEG at the stream's base offset; (0, 0) when unreadable.
  static SIZE FileGetJpegSize(SStreamBuf* stream);
  static SIZE FileGetJpegSize(SStreamBuf& stream) { return FileGetJpegSize(&stream); }

  // Stream buffers. A null stream (or one whose file is null) gives 0 or -1.
  static SStreamBuf ZQFBUF_Create(const char* path, const char* mode);
  static int ZQFBUF_Set(SStreamBuf* stream, long position);
  static int ZQFBUF_Seek(SStreamBuf* stream, long offset, int origin);
  static size_t ZQFBUF_Read(void* buffer, size_t size, size_t count, SStreamBuf* stream);
  static size_t ZQFBUF_Write(const void* data, size_t size, size_t count, SStreamBuf* stream);
  static long ZQFBUF_Tell(SStreamBuf* stream);
  static int ZQFBUF_Close(SStreamBuf* stream);
  static int ZQFBUF_Set(SStreamBuf& s, long position) { return ZQFBUF_Set(&s, position); }
  static int ZQFBUF_Seek(SStreamBuf& s, long offset, int origin) { return ZQFBUF_Seek(&s, offset, origin); }
  static size_t ZQFBUF_Read(void* b, size_t n, size_t c, SStreamBuf& s) { return ZQFBUF_Read(b, n, c, &s); }
  static size_t ZQFBUF_Write(const void* d, size_t n, size_t c, SStreamBuf& s) {
    return ZQFBUF_Write(d, n, c, &s);
  }
  static long ZQFBUF_Tell(SStreamBuf& s) { return ZQFBUF_Tell(&s); }
  static int ZQFBUF_Close(SStreamBuf& s) { return ZQFBUF_Close(&s); }

  // Texts.
  static void TextFormatString(std::string& out, const char* format, ...)
      __attribute__((format(printf, 2, 3)));
  static void ColorToString(char* text, DWORD color);  // "r,g,b,a"
  static DWORD StringToColor(const char* text);        // "r,g,b,a" -> 0xAARRGGBB

  static DWORD GetCPUCaps();

  // Process globals. CZqApp's constructor registers itself with SetZqApp (and its
  // destructor clears it).
  static CZqApp* GetZqApp();
  static void SetZqApp(CZqApp* app);
  static CZqDebug* GetDebuger();
  static int AppSetTimer(UINT id, UINT ms);  // 0 ms kills the timer
  static void UI_SetEditMode(int flag);
  static int UI_GetEditMode();
};
