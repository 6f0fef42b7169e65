// Pixel values, 32-bit pixel maps, the engine picture files ("PGM2003a", "PGG2003a") and packed DIBs.
#pragma once

#include "ZqDefs.h"
#include "ZqGeometry.h"

#include <cstdio>
#include <string>
#include <vector>

struct SStreamBuf;
class CPsdDocument;

#pragma pack(push, 1)
// Three bytes blue, green, red; as a number 0x00RRGGBB.
struct SPixel24 {
  BYTE blue, green, red;

  SPixel24() = default;
  SPixel24(BYTE r, BYTE g, BYTE b) : blue(b), green(g), red(r) {}
  SPixel24(DWORD rgb) : blue(BYTE(rgb)), green(BYTE(rgb >> 8)), red(BYTE(rgb >> 16)) {}
  SPixel24& operator&=(const SPixel24& o) {
    blue &= o.blue;
    green &= o.green;
    red &= o.red;
    return *this;
  }
  SPixel24& operator|=(const SPixel24& o) {
    blue |= o.blue;
    green |= o.green;
    red |= o.red;
    return *this;
  }
  SPixel24& operator^=(const SPixel24& o) {
    blue ^= o.blue;
    green ^= o.green;
    red ^= o.red;
    return *this;
  }
  operator unsigned long() const {
    return (unsigned long)blue | ((unsigned long)green << 8) | ((unsigned long)red << 16);
  }
};

// Four bytes blue, green, red, alpha; as a number 0xAARRGGBB.
struct SPixel32 {
  BYTE blue, green, red, alpha;

  SPixel32() = default;
  SPixel32(BYTE r, BYTE g, BYTE b, BYTE a) : blue(b), green(g), red(r), alpha(a) {}
  SPixel32(const SPixel24& p) : blue(p.blue), green(p.green), red(p.red), alpha(255) {}
  SPixel32(DWORD argb)
      : blue(BYTE(argb)), green(BYTE(argb >> 8)), red(BYTE(argb >> 16)), alpha(BYTE(argb >> 24)) {}
  DWORD Value() const {
    return (DWORD)blue | ((DWORD)green << 8) | ((DWORD)red << 16) | ((DWORD)alpha << 24);
  }
  SPixel32& operator&=(const SPixel32& o) {
    *this = SPixel32(Value() & o.Value());
    return *this;
  }
  SPixel32& operator|=(const SPixel32& o) {
    *this = SPixel32(Value() | o.Value());
    return *this;
  }
  SPixel32& operator^=(const SPixel32& o) {
    *this = SPixel32(Value() ^ o.Value());
    return *this;
  }
  operator unsigned long() const { return Value(); }
};
#pragma pack(pop)
static_assert(sizeof(SPixel24) == 3 && sizeof(SPixel32) == 4, "pixel layouts are stored in files");

class ZQ_API CPixelMap32 {
 public:
  CPixelMap32();
  ~CPixelMap32();
  CPixelMap32(const CPixelMap32&) = delete;
  CPixelMap32& operator=(const CPixelMap32&) = delete;

  int Create(DWORD width, DWORD height);
  void Clear();

  int LoadFromTgaFile(const char* path);
  void LoadFromTgaFileBuffer(FILE* file);
  SScreenPoint LoadFromPsdFile(const char* path, const char* layer);
  SScreenPoint LoadFromPsdFile(const char* path, int layer);

  int SaveToPGM(SStreamBuf* stream, long format);
  int SaveToPGM(const char* path, long format);

  void SetKey(const std::string& key) { m_key = key; }
  const std::string& GetName() const { return m_key; }
  void SetBasePoint(const SScreenPoint& pt) { m_base = pt; }
  SScreenPoint GetBasePoint() const { return m_base; }
  unsigned long GetWidth() const { return m_width; }
  unsigned long GetHeight() const { return m_height; }
  SPixel32* GetData() { return m_pPixels; }
  const SPixel32* GetData() const { return m_pPixels; }
  SPixel32& At(DWORD x, DWORD y) { return m_pPixels[(size_t)y * m_width + x]; }
  const SPixel32& At(DWORD x, DWORD y) const { return m_pPixels[(size_t)y * m_width + x]; }

 private:
  SScreenPoint LoadFromPsdLayer(const char* path, const char* name, int index);

  std::string m_key;
  SScreenPoint m_base;
  CPsdDocument* m_pDoc = nullptr;
  std::string m_docName;
  SPixel32* m_pPixels = nullptr;
  DWORD m_width = 0;
  DWORD m_height = 0;
};

class ZQ_API CPixMapGroup {
 public:
  CPixMapGroup() = default;
  virtual ~CPixMapGroup();
  CPixMapGroup(const CPixMapGroup&) = delete;
  CPixMapGroup& operator=(const CPixMapGroup&) = delete;

  void Cleanup();
  CPixelMap32* AddPixmap();
  int LoadFromPSD(const char* path);
  int AddFromPSD(const char* path);
  int GetPixmapCount() const { return (int)m_maps.size(); }
  CPixelMap32* GetPixmap(int index) { return m_maps[(size_t)index]; }
  int SaveToPGG(SStreamBuf* stream, long format);
  int SaveToPGG(const char* path, long format);

 private:
  std::vector<CPixelMap32*> m_maps;
};

class ZQ_API CPixGuide {
 public:
  CPixGuide() = default;
  virtual ~CPixGuide() = default;
};

class ZQ_API CDibMap {
 public:
  CDibMap() = default;
  ~CDibMap();
  CDibMap(const CDibMap&) = delete;
  CDibMap& operator=(const CDibMap&) = delete;

  void Clear();
  int CreateFormBitmap(const char* path);
  int CreateFormBitmap(SStreamBuf& stream);
  int SaveToBitmap(const char* path);
  int Paint(HDC dc, const SScreenRect& src, const SScreenRect& dst);
  HPALETTE CreateDIBPalette();
  BYTE* FindDIBBits();
  unsigned long DIBWidth() const;
  unsigned long DIBHeight() const;
  unsigned long GetWidth() const { return DIBWidth(); }
  unsigned long GetHeight() const { return DIBHeight(); }
  unsigned short DIBNumColors() const;
  unsigned short PaletteSize() const;
  BYTE* GetData() { return m_pDib; }
  // Byte size of the packed bitmap held.
  DWORD GetSize() const { return m_size; }

 private:
  DWORD HeaderSize() const;
  uint64_t PaletteBytes() const;
  bool IsCore() const;

  BYTE* m_pDib = nullptr;
  DWORD m_size = 0;
};
