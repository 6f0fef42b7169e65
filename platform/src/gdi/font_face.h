// Faces at a pixel size with their glyph cache, resolved from font objects over FreeType,
// fontconfig and the process-private registry of added font files.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "gdi_object.h"

namespace zqgdi {

struct Glyph {
  int left = 0, top = 0;  // bitmap origin relative to the pen on the baseline
  int width = 0, height = 0;
  int advance = 0;
  uint32_t offset = 0;  // into SizedFace::coverage, one byte (0/1) a pixel
};

struct SizedFace {
  FT_Face face = nullptr;
  FT_Size size = nullptr;
  FT_Face fallbackFace = nullptr;  // for characters the face lacks (a CJK face)
  FT_Size fallbackSize = nullptr;
  int ppem = 0;
  int ascent = 0, descent = 0, height = 0, internalLeading = 0;
  int avgCharWidth = 0, maxCharWidth = 0;
  int underlinePos = 0, underlineThickness = 1;  // below the baseline, pixels
  FT_Pos embolden = 0;                           // 26.6 horizontal widening of synthesised bold
  bool italic = false;                           // synthesised slant
  int weight = FW_NORMAL;

  const Glyph& glyph(char32_t cp);
  const uint8_t* bits(const Glyph& g) const { return coverage.data() + g.offset; }

  Glyph ascii[128];
  bool asciiReady[128] = {};
  std::unordered_map<char32_t, Glyph> others;
  std::vector<uint8_t> coverage;

 private:
  Glyph load(char32_t cp);
};

// The sized face of a font object (null only when no face can be opened at all).
SizedFace* resolveFont(FontObject* font);

// Process-private font files.
int registerFontFile(const char* path);
bool unregisterFontFile(const char* path);

}  // namespace zqgdi
