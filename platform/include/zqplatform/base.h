// Process services: the clock, the MSVC-compatible random generator, CPU caps, text code pages,
// Windows-style paths, last-error codes and the named mutex.
#pragma once

#include <string>
#include <string_view>

#include "zqplatform/types.h"

// ---- last error -------------------------------------------------------------------------------
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_MENU_HANDLE 1401L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L

ZQPLAT_API DWORD GetLastError();
ZQPLAT_API void SetLastError(DWORD code);

// ---- clock ------------------------------------------------------------------------------------
// One process clock in milliseconds (wraps at 2^32) feeds timeGetTime, GetTickCount, Sleep and the
// window timers.
typedef UINT MMRESULT;
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

ZQPLAT_API DWORD timeGetTime();
ZQPLAT_API DWORD GetTickCount();
ZQPLAT_API MMRESULT timeBeginPeriod(UINT periodMs);
ZQPLAT_API MMRESULT timeEndPeriod(UINT periodMs);
ZQPLAT_API void Sleep(DWORD ms);

// Tests: with the manual clock on, the clock stands at startMs and moves only by zqAdvanceClock
// (and by Sleep, which then returns at once). Off: back to the real clock.
ZQPLAT_API void zqSetManualClock(BOOL on, DWORD startMs);
ZQPLAT_API void zqAdvanceClock(DWORD ms);
ZQPLAT_API BOOL zqIsManualClock();

// ---- random numbers ---------------------------------------------------------------------------
// MSVC's generator: state = state * 214013 + 2531011, result = bits 16..30 of the state.
#define ZQ_RAND_MAX 32767
ZQPLAT_API int zq_rand();
ZQPLAT_API void zq_srand(unsigned seed);

// ---- CPU --------------------------------------------------------------------------------------
// The processor feature word (CPUID leaf 1, EDX): bit 23 MMX, bit 25 SSE, bit 26 SSE2.
ZQPLAT_API DWORD zqCpuFeatureWord();

// ---- text code pages --------------------------------------------------------------------------
// Undecodable bytes become '?'; the rest of the text is kept.
ZQPLAT_API std::string zqGbkToUtf8(std::string_view gbk);
ZQPLAT_API std::string zqUtf8ToGbk(std::string_view utf8);
ZQPLAT_API std::string zqBig5ToUtf8(std::string_view big5);

// A text literal as GBK bytes. Sources are UTF-8 and one compiler of the tree (clang, for the fuzz
// build) cannot re-encode literals, so each literal is converted once, on first use, and kept.
// Use it for every non-ASCII literal that is logged, shown or compared with data.
#define ZQ_GBK(utf8_literal)                                          \
  ([]() -> const char* {                                              \
    static const std::string zq_gbk_text = zqUtf8ToGbk(utf8_literal); \
    return zq_gbk_text.c_str();                                       \
  }())

// ---- paths ------------------------------------------------------------------------------------
// Maps a Windows-style GBK path to the file system: "\" (outside GBK double bytes) becomes "/",
// a leading drive "X:" is dropped, GBK names become UTF-8, and when the exact name is missing each
// component is resolved case-insensitively (ASCII letters). A path that does not exist at all is
// returned mapped but unresolved (so files can be created).
ZQPLAT_API std::string zqMapPath(const char* windowsPath);

// The program file's full path, Windows-style ("\" separators, GBK). Returns the length copied
// (cut to size - 1 and terminated), 0 on failure.
ZQPLAT_API DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size);
ZQPLAT_API HMODULE GetModuleHandleA(LPCSTR name);

// ---- kernel objects ---------------------------------------------------------------------------
typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

// A named mutex is one per user: a locked file in the runtime folder. When another holder exists
// the handle is still returned and GetLastError() reports ERROR_ALREADY_EXISTS.
ZQPLAT_API HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
ZQPLAT_API BOOL ReleaseMutex(HANDLE mutex);
ZQPLAT_API BOOL CloseHandle(HANDLE handle);
