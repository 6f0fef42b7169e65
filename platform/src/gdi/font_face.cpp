// Face resolution and caching: fontconfig for installed faces, a private registry for added
// files, FreeType for glyphs (monochrome, so text pixels are exactly the text colour).
#include "font_face.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <tuple>

#include <fontconfig/fontconfig.h>
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include "base/read_file.h"
#include "zqplatform/base.h"

namespace zqgdi {
namespace {

constexpr size_t kMaxFontFile = size_t(1) << 28;  // beyond the largest CJK collections

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

std::string convert(const char* from, const char* to, const char* data, size_t n) {
  iconv_t cd = iconv_open(to, from);
  if (cd == (iconv_t)-1) return {};
  std::string out(n * 4 + 4, '\0');
  char* in = const_cast<char*>(data);
  size_t inLeft = n;
  char* o = out.data();
  size_t oLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &oLeft) == size_t(-1)) {
      if (errno == E2BIG) break;
      ++in;  // skip an undecodable byte
      --inLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - oLeft);
  return out;
}

struct PrivateFace {
  FT_Face face = nullptr;
  std::vector<std::string> names;  // lower-case UTF-8 family and full names
  int weight = FW_NORMAL;
  bool italic = false;
};

struct PrivateFile {
  std::string path;
  int refs = 0;
  std::vector<unsigned char> data;  // FreeType reads faces from this memory
  std::vector<PrivateFace> faces;
};

struct Match {
  FT_Face face = nullptr;
  int weight = FW_NORMAL;
  bool italic = false;
};

using SizeKey = std::tuple<FT_Face, int, FT_Pos, bool>;
using MatchKey = std::tuple<std::string, int, bool, int>;

struct FontSystem {
  FT_Library lib = nullptr;
  unsigned generation = 1;
  std::map<std::pair<std::string, int>, FT_Face> installed;  // by file and index
  std::vector<std::unique_ptr<PrivateFile>> privateFiles;
  std::map<MatchKey, Match> matches;
  std::map<SizeKey, std::unique_ptr<SizedFace>> sized;
  FT_Face cjkFallback = nullptr;
  bool cjkSearched = false;

  bool fcReady = false;

  // fontconfig is started only to match installed faces: its start-up keeps objects that leak
  // checkers cannot follow, and registering or removing a file needs none of it.
  FontSystem() { FT_Init_FreeType(&lib); }

  FT_Face openInstalled(const std::string& file, int index) {
    auto key = std::make_pair(file, index);
    auto it = installed.find(key);
    if (it != installed.end()) return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, file.c_str(), index, &face) != 0) face = nullptr;
    installed[key] = face;
    return face;
  }

  // fontconfig's best installed face for a family, weight, slant and charset's language.
  Match matchInstalled(const std::string& familyUtf8, int weight, bool italic, int charset) {
    Match m;
    if (!fcReady) {
      FcInit();
      fcReady = true;
    }
    FcPattern* p = FcPatternCreate();
    if (!familyUtf8.empty())
      FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(familyUtf8.c_str()));
    else
      FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    const char* lang = nullptr;
    switch (charset) {
      case GB2312_CHARSET:
        lang = "zh-cn";
        break;
      case CHINESEBIG5_CHARSET:
        lang = "zh-tw";
        break;
      case SHIFTJIS_CHARSET:
        lang = "ja";
        break;
      case HANGUL_CHARSET:
        lang = "ko";
        break;
      default:
        break;
    }
    if (lang) FcPatternAddString(p, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult res;
    FcPattern* found = FcFontMatch(nullptr, p, &res);
    if (found) {
      FcChar8* file = nullptr;
      int index = 0, fcWeight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
      FcPatternGetInteger(found, FC_INDEX, 0, &index);
      FcPatternGetInteger(found, FC_WEIGHT, 0, &fcWeight);
      FcPatternGetInteger(found, FC_SLANT, 0, &slant);
      if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file) {
        m.face = openInstalled(reinterpret_cast<const char*>(file), index);
        m.weight = FcWeightToOpenType(fcWeight);
        m.italic = slant != FC_SLANT_ROMAN;
        // fontconfig reports the asked weight and slant when it wants them synthesised.
        FcBool embolden = FcFalse;
        FcMatrix* shear = nullptr;
        if (FcPatternGetBool(found, FC_EMBOLDEN, 0, &embolden) == FcResultMatch && embolden)
          m.weight = FW_NORMAL;
        if (FcPatternGetMatrix(found, FC_MATRIX, 0, &shear) == FcResultMatch && shear && shear->xy != 0)
          m.italic = false;
      }
      FcPatternDestroy(found);
    }
    FcPatternDestroy(p);
    return m;
  }

  const PrivateFace* matchPrivate(const std::string& lowerName, int weight, bool italic) {
    const PrivateFace* best = nullptr;
    int bestScore = 0;
    for (auto& file : privateFiles)
      for (auto& f : file->faces) {
        if (std::find(f.names.begin(), f.names.end(), lowerName) == f.names.end()) continue;
        int score = 100000 - std::abs(f.weight - weight) - (f.italic != italic ? 1000 : 0);
        if (!best || score > bestScore) best = &f, bestScore = score;
      }
    return best;
  }

  Match match(const FontObject& font) {
    int weight = font.lf.lfWeight > 0 ? font.lf.lfWeight : FW_NORMAL;
    bool italic = font.lf.lfItalic != 0;
    std::string utf8 = convert("GBK", "UTF-8", font.face.data(), font.face.size());
    MatchKey key{lowerAscii(utf8), weight, italic, font.lf.lfCharSet};
    auto it = matches.find(key);
    if (it != matches.end()) return it->second;
    Match m;
    if (!utf8.empty())
      if (const PrivateFace* pf = matchPrivate(std::get<0>(key), weight, italic))
        m = Match{pf->face, pf->weight, pf->italic};
    if (!m.face) m = matchInstalled(utf8, weight, italic, font.lf.lfCharSet);
    matches[key] = m;
    return m;
  }

  FT_Face cjk() {
    if (!cjkSearched) {
      cjkSearched = true;
      cjkFallback = matchInstalled("", FW_NORMAL, false, GB2312_CHARSET).face;
    }
    return cjkFallback;
  }

  SizedFace* sizedFor(FontObject& font) {
    Match m = match(font);
    if (!m.face) return nullptr;
    FT_Face face = m.face;
    int upem = face->units_per_EM ? face->units_per_EM : 2048;
    // Windows cell metrics come from the OS/2 table when the face has one.
    int asc = face->ascender, desc = -face->descender;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
      if (os2->usWinAscent + os2->usWinDescent > 0) asc = os2->usWinAscent, desc = os2->usWinDescent;
    }
    if (asc + desc <= 0) asc = upem * 4 / 5, desc = upem / 5;
    int h = font.lf.lfHeight;
    int ppem;
    if (h < 0)
      ppem = -h;
    else if (h > 0)
      ppem = int(std::lround(double(h) * upem / double(asc + desc)));
    else
      ppem = 16;
    ppem = std::clamp(ppem, 1, 2048);
    int weight = font.lf.lfWeight > 0 ? font.lf.lfWeight : FW_NORMAL;
    FT_Pos embolden = 0;
    if (weight >= FW_SEMIBOLD && m.weight < FW_SEMIBOLD)
      embolden = std::max<FT_Pos>(64, FT_Pos(ppem) * 64 / 24);
    bool slant = font.lf.lfItalic && !m.italic;
    SizeKey key{face, ppem, embolden, slant};
    auto it = sized.find(key);
    if (it != sized.end()) return it->second.get();

    auto sf = std::make_unique<SizedFace>();
    sf->face = face;
    if (FT_New_Size(face, &sf->size) != 0) return nullptr;
    FT_Activate_Size(sf->size);
    FT_Set_Pixel_Sizes(face, 0, FT_UInt(ppem));
    sf->ppem = ppem;
    sf->embolden = embolden;
    sf->italic = slant;
    sf->weight = weight;
    sf->ascent = int(std::ceil(double(asc) * ppem / upem));
    sf->descent = int(std::ceil(double(desc) * ppem / upem));
    sf->height = sf->ascent + sf->descent;
    sf->internalLeading = std::max(0, sf->height - ppem);
    if (FT_IS_SCALABLE(face)) {
      sf->underlinePos = std::max(1, int(std::lround(-double(face->underline_position) * ppem / upem)));
      sf->underlineThickness = std::max(1, int(std::lround(double(face->underline_thickness) * ppem / upem)));
    }
    sf->underlinePos = std::min(sf->underlinePos, std::max(0, sf->descent - sf->underlineThickness));
    FT_Face fb = cjk();
    if (fb && fb != face && FT_New_Size(fb, &sf->fallbackSize) == 0) {
      sf->fallbackFace = fb;
      FT_Activate_Size(sf->fallbackSize);
      FT_Set_Pixel_Sizes(fb, 0, FT_UInt(ppem));
    }
    sf->avgCharWidth = sf->glyph(U'x').advance;
    sf->maxCharWidth = std::max(sf->glyph(U'W').advance, sf->glyph(U'M').advance);
    if (sf->fallbackFace || FT_Get_Char_Index(face, 0x4E2D))
      sf->maxCharWidth = std::max(sf->maxCharWidth, sf->glyph(U'\u4E2D').advance);
    SizedFace* raw = sf.get();
    sized[key] = std::move(sf);
    return raw;
  }

  void dropSizes() {
    // Sizes belong to their faces: done before a private face is closed.
    for (auto& [key, sf] : sized) {
      if (sf->size) FT_Done_Size(sf->size);
      if (sf->fallbackSize) FT_Done_Size(sf->fallbackSize);
    }
    sized.clear();
    matches.clear();
    ++generation;
  }
};

FontSystem& fonts() {
  static FontSystem* fs = new FontSystem;  // lives for the process: faces are shared by fonts
  return *fs;
}

void collectNames(FT_Face face, std::vector<std::string>& names) {
  auto add = [&](std::string s) {
    s = lowerAscii(std::move(s));
    if (!s.empty() && std::find(names.begin(), names.end(), s) == names.end()) names.push_back(s);
  };
  if (face->family_name) add(face->family_name);
  FT_UInt n = FT_Get_Sfnt_Name_Count(face);
  for (FT_UInt i = 0; i < n; ++i) {
    FT_SfntName nm;
    if (FT_Get_Sfnt_Name(face, i, &nm) != 0) continue;
    if (nm.name_id != TT_NAME_ID_FONT_FAMILY && nm.name_id != TT_NAME_ID_FULL_NAME) continue;
    const char* data = reinterpret_cast<const char*>(nm.string);
    if (nm.platform_id == TT_PLATFORM_MICROSOFT)
      add(convert("UTF-16BE", "UTF-8", data, nm.string_len));
    else if (nm.platform_id == TT_PLATFORM_MACINTOSH && nm.encoding_id == TT_MAC_ID_ROMAN)
      add(std::string(data, nm.string_len));
  }
}

}  // namespace

const Glyph& SizedFace::glyph(char32_t cp) {
  if (cp < 128) {
    if (!asciiReady[cp]) {
      ascii[cp] = load(cp);
      asciiReady[cp] = true;
    }
    return ascii[cp];
  }
  auto it = others.find(cp);
  if (it != others.end()) return it->second;
  return others.emplace(cp, load(cp)).first->second;
}

Glyph SizedFace::load(char32_t cp) {
  Glyph g;
  if (cp < 0x20 || cp == 0x7F) return g;  // control characters draw nothing
  FT_Face f = face;
  FT_Size s = size;
  FT_UInt index = FT_Get_Char_Index(face, cp);
  if (!index && fallbackFace) {
    FT_UInt fi = FT_Get_Char_Index(fallbackFace, cp);
    if (fi) f = fallbackFace, s = fallbackSize, index = fi;
  }
  FT_Activate_Size(s);
  if (FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) != 0) return g;
  FT_GlyphSlot slot = f->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (italic) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Outline_Transform(&slot->outline, &shear);
    }
    if (embolden) FT_Outline_EmboldenXY(&slot->outline, embolden, 0);
  }
  g.advance = int((slot->advance.x + 32) >> 6) + int((embolden + 32) >> 6);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return g;
  const FT_Bitmap& bm = slot->bitmap;
  g.left = slot->bitmap_left;
  g.top = slot->bitmap_top;
  g.width = int(bm.width);
  g.height = int(bm.rows);
  g.offset = uint32_t(coverage.size());
  coverage.resize(coverage.size() + size_t(g.width) * size_t(g.height));
  uint8_t* dst = coverage.data() + g.offset;
  for (int y = 0; y < g.height; ++y) {
    const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
    for (int x = 0; x < g.width; ++x) {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        dst[y * g.width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
      else
        dst[y * g.width + x] = row[x] >= 128;
    }
  }
  return g;
}

SizedFace* resolveFont(FontObject* font) {
  if (!font) return nullptr;
  FontSystem& fs = fonts();
  if (font->sized && font->generation == fs.generation) return font->sized;
  font->sized = fs.sizedFor(*font);
  font->generation = fs.generation;
  return font->sized;
}

int registerFontFile(const char* path) {
  if (!path || !*path) return 0;
  FontSystem& fs = fonts();
  std::string mapped = zqMapPath(path);
  for (auto& file : fs.privateFiles)
    if (file->path == mapped) {
      ++file->refs;
      return int(file->faces.size());
    }
  auto file = std::make_unique<PrivateFile>();
  file->path = mapped;
  // Unreadable data (a directory, a file gone or failing) fails this one registration.
  if (!zqbase::readWholeFile(mapped, file->data, kMaxFontFile) || file->data.empty()) return 0;
  // FreeType tells the type from the content; any extension is accepted.
  FT_Face probe = nullptr;
  if (FT_New_Memory_Face(fs.lib, file->data.data(), FT_Long(file->data.size()), -1, &probe) != 0) return 0;
  FT_Long count = probe->num_faces;
  FT_Done_Face(probe);
  for (FT_Long i = 0; i < count && i < 64; ++i) {
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(fs.lib, file->data.data(), FT_Long(file->data.size()), i, &face) != 0) continue;
    if (!FT_IS_SCALABLE(face)) {
      FT_Done_Face(face);
      continue;
    }
    PrivateFace pf;
    pf.face = face;
    collectNames(face, pf.names);
    pf.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    pf.weight = (face->style_flags & FT_STYLE_FLAG_BOLD) ? FW_BOLD : FW_NORMAL;
    if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)))
      if (os2->usWeightClass >= 100 && os2->usWeightClass <= 1000) pf.weight = os2->usWeightClass;
    file->faces.push_back(std::move(pf));
  }
  if (file->faces.empty()) return 0;
  file->refs = 1;
  int added = int(file->faces.size());
  fs.privateFiles.push_back(std::move(file));
  fs.matches.clear();
  ++fs.generation;
  return added;
}

bool unregisterFontFile(const char* path) {
  if (!path || !*path) return false;
  FontSystem& fs = fonts();
  std::string mapped = zqMapPath(path);
  for (auto it = fs.privateFiles.begin(); it != fs.privateFiles.end(); ++it) {
    if ((*it)->path != mapped) continue;
    if (--(*it)->refs > 0) return true;
    fs.dropSizes();
    for (auto& pf : (*it)->faces) FT_Done_Face(pf.face);
    fs.privateFiles.erase(it);
    return true;
  }
  return false;
}

}  // namespace zqgdi
