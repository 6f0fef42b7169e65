// INI configuration: one accessor bound to one settings file, with one text syntax per value type.
#pragma once

#include "ZqDefs.h"
#include "ZqGeometry.h"

#pragma pack(push, 1)
// A font description; crosses the library interface, so it is packed.
struct sFont {
  char szFace[255];  // NUL-terminated, at most 254 characters
  int32_t nSize;
  int32_t nCharset;
  int32_t nItalic;
  int32_t nUnderline;
  int32_t nStrikeOut;
};
#pragma pack(pop)
static_assert(sizeof(sFont) == 275);

class ZQ_API CConfig {
 public:
  CConfig();
  explicit CConfig(const char* path);
  virtual ~CConfig();

  // A path that does not fit (259 characters) leaves the object unbound: reads give their
  // defaults and writes fail, rather than touching a file of a cut name.
  void SetINIFile(const char* path);
  char* GetINIFile();

  // Reads into a buffer of 1000 shared by every CConfig: valid until the next such call.
  char* GetString(const char* section, const char* key, const char* def);
  DWORD GetString(char* buffer, DWORD size, const char* section, const char* key, const char* def);
  BOOL WriteString(const char* value, const char* section, const char* key);

  LONG GetLong(const char* section, const char* key, const char* def);
  BOOL WriteLong(LONG value, const char* section, const char* key);
  float GetFloat(const char* section, const char* key, const char* def);
  BOOL WriteFloat(float value, const char* section, const char* key);
  // "0x" and hexadecimal digits; anything else is 0.
  DWORD GetHex(const char* section, const char* key, const char* def);
  // Lower-case digits without the prefix GetHex requires.
  BOOL WriteHex(DWORD value, const char* section, const char* key);
  // True only for "true" in any case.
  BOOL GetBOOL(const char* section, const char* key, const char* def);
  BOOL WriteBOOL(BOOL value, const char* section, const char* key);
  SScreenPoint GetPoint(const char* section, const char* key, const char* def);
  BOOL WritePoint(const SScreenPoint& value, const char* section, const char* key);
  SScreenRect GetRect(const char* section, const char* key, const char* def);
  BOOL WriteRect(const SScreenRect& value, const char* section, const char* key);
  // "a,r,g,b" as 0xAARRGGBB.
  DWORD GetColor(const char* section, const char* key, const char* def);
  BOOL WriteColor(DWORD value, const char* section, const char* key);
  // "face,size,charset,italic,underline,strikeout"; members not in the text keep their values.
  void GetFont(sFont* font, const char* section, const char* key, const char* def);
  BOOL WriteFont(const sFont* font, const char* section, const char* key);
  // Two letters a byte ('A' + low nibble, 'A' + high nibble). Returns the bytes decoded.
  DWORD GetBinary(const char* section, const char* key, void* buffer, DWORD capacity);
  BOOL WriteBinary(const char* section, const char* key, const void* data, DWORD length);

 private:
  char m_szFile[260];
};
