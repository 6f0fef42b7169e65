// Private-profile INI services: sections in square brackets, "key=value" lines.
//
// Names match case-insensitively (ASCII letters only; bytes of GBK characters are compared
// exactly), the first matching section and the first matching key win, a value is the text after
// the first '=' with blanks trimmed and one pair of enclosing quotes removed. There is no comment
// syntax. Lines end in LF or CR LF and have no length limit.
#pragma once

#include "zqplatform/types.h"

// Copies the value of key in section into out (at most size - 1 bytes, always terminated) and
// returns the number of bytes copied. A missing file, section or key copies the default (cut the
// same way; a null default is empty). A null section or key copies the default.
ZQPLAT_API DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size,
                                          LPCSTR file);

// The value as a leading signed decimal number (text after it ignored, no number gives 0);
// def when the key is missing.
ZQPLAT_API UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT def, LPCSTR file);

// Stores key=value in section, creating the file and the section when missing. The first matching
// key is replaced in place, otherwise the key is appended to its section; every other line is
// kept. A null value removes the key, a null key removes the section. Returns FALSE when the file
// cannot be written or a name or value would break the file's structure (a line break in any of
// them, '=' in a key, ']' in a section name).
ZQPLAT_API BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file);
