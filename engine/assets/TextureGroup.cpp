// CZqTextureGroup: frames from one name, lazy frames with a FIFO cache, texture-group files.
#include "ZqTextureGroup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "StreamGuard.h"
#include "TextureGroupFile.h"
#include "ZqEngine.h"
#include "ZqSource.h"
#include "ZqTexture.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetI32;
using zqle::PutU32;

// Numbered patterns name at most this many frames; a larger range in the data is refused.
constexpr long kMaxPatternFrames = 65536;

std::string ObjectName(const char* path, int type, long position) {
  return std::string(path) + "," + std::to_string(type) + "," + std::to_string(position);
}

bool IsFrameType(_FILE_FORMAT_TYPE t) {
  return t == FFT_BMP || t == FFT_JPG || t == FFT_TGA || t == FFT_PGM || t == FFT_TEX;
}

// Reads the header and the record table at the stream's base offset.
bool ReadTable(SStreamBuf* s, zqtg::Header& h, std::vector<int32_t>& table) {
  BYTE head[zqtg::kHeaderSize];
  CZqFunc::ZQFBUF_Set(s, 0);
  if (CZqFunc::ZQFBUF_Read(head, 1, sizeof head, s) != sizeof head || !zqtg::ReadHeader(head, h))
    return false;
  const long avail = (long)s->m_nSize - s->m_nOffset - (long)zqtg::kHeaderSize;
  if (h.count < 0 || (long)h.count > avail / 4) return false;
  std::vector<BYTE> raw((size_t)h.count * 4);
  if (h.count && CZqFunc::ZQFBUF_Read(raw.data(), 4, (size_t)h.count, s) != (size_t)h.count) return false;
  table.resize((size_t)h.count);
  for (int32_t i = 0; i < h.count; ++i) table[(size_t)i] = GetI32(raw.data() + 4 * i);
  return true;
}

// The engine forgets the group's name; engines without a group registry have nothing to forget.
template <class Engine>
void Unregister(Engine* engine, const std::string& name) {
  if constexpr (requires { engine->FreeTextureGroup(name.c_str()); }) engine->FreeTextureGroup(name.c_str());
}

}  // namespace

CZqTextureGroup::CZqTextureGroup(CZqEngine* engine)
    : m_bImported(0), m_type(FFT_NONE), m_nUser(1), m_pEngine(engine) {
  SetDefaults();
}

CZqTextureGroup::CZqTextureGroup(CZqEngine* engine, const char*, int)
    : m_bImported(0), m_type(FFT_NONE), m_nUser(1), m_pEngine(engine) {
  SetDefaults();
}

CZqTextureGroup::~CZqTextureGroup() {
  if (m_pEngine && !m_strName.empty()) Unregister(m_pEngine, m_strName);
  Cleanup();
}

void CZqTextureGroup::SetDefaults() {
  m_bImported = 0;
  m_dwTeam = 1;
  m_fBaseAngle = 0;
  m_dwDefaultDelay = 1000;
  m_dwCacheSize = 0;
  m_ptBase = SScreenPoint(0, 0);
  m_ptMoved = SScreenPoint(0, 0);
}

void CZqTextureGroup::DeleteFrames() {
  for (CZqTexture* t : m_frames) delete t;
  m_frames.clear();
  m_cache.clear();
}

void CZqTextureGroup::Cleanup() {
  DeleteFrames();
  SetDefaults();
}

int CZqTextureGroup::Release() {
  if (--m_nUser <= 0) Cleanup();
  return m_nUser;
}

CZqTexture* CZqTextureGroup::AppendFrame(const std::string& name) {
  CZqTexture* t = new CZqTexture(m_pEngine);
  t->SetStreamSource(name.c_str());
  m_frames.push_back(t);
  return t;
}

int CZqTextureGroup::SetStreamSource(const char* name, int load) {
  Cleanup();
  m_strName = name ? name : "";
  if (!BuildFrames(load)) {
    Cleanup();
    return 0;
  }
  OnInitialize();
  return 1;
}

int CZqTextureGroup::BuildFromPattern(const std::string& name) {
  std::string pattern;
  long first, last;
  if (!zqtg::SplitNumbered(name, pattern, first, last) || !zqtg::IsValidPattern(pattern)) return 0;
  if (first < INT32_MIN || last > INT32_MAX || last < first || last - first >= kMaxPatternFrames) return 0;
  for (long i = first; i <= last; ++i) AppendFrame(zqtg::FormatPattern(pattern, (int)i));
  return 1;
}

int CZqTextureGroup::BuildFrames(int load) {
  const std::string& name = m_strName;
  if (name.find('%') != std::string::npos) return BuildFromPattern(name);

  if (name.find(',') == std::string::npos) {
    CZqSource* pack = m_pEngine ? m_pEngine->GetSourcePtr() : nullptr;
    if (sFileInfo* info = pack ? pack->FindSource(name.c_str()) : nullptr) {
      m_type = info->m_type;
      if (IsFrameType(m_type)) {
        AppendFrame(name);
        return 1;
      }
      const std::string stored = info->m_szFile;
      if (m_type == FFT_PGG) return LoadFromPGG(stored.c_str());
      if (m_type == FFT_TXG) {
        m_bImported = 1;
        return SUCCEEDED(Import(stored.c_str(), load)) ? 1 : 0;
      }
      return 0;
    }
    {
      StreamGuard g(name.c_str(), "rb");
      if (!g.ok()) return 0;
    }
    m_type = CZqFunc::File_GetFFT(name.c_str());
    if (IsFrameType(m_type)) {
      AppendFrame(name);
      return 1;
    }
    if (m_type == FFT_TXG) {
      m_bImported = 1;
      return SUCCEEDED(Import(name.c_str(), load)) ? 1 : 0;
    }
    if (m_type == FFT_PGG) return LoadFromPGG(name.c_str());
    return 1;  // other files give no frame
  }

  // A list of names separated by commas and blanks.
  size_t i = 0;
  while (i < name.size()) {
    size_t j = name.find_first_of(", ", i);
    if (j == std::string::npos) j = name.size();
    if (j > i) AppendFrame(name.substr(i, j - i));
    i = j + 1;
  }
  return 1;
}

int CZqTextureGroup::LoadFromPGG(const char* path) {
  if (!path) return 0;
  StreamGuard g(path, "rb");
  if (!g.ok()) return 0;
  char sig[16] = {};
  size_t n = CZqFunc::ZQFBUF_Read(sig, 1, sizeof sig, g.s);
  bool found = false;
  for (size_t i = 0; i + 3 <= n && !found; ++i) found = memcmp(sig + i, "PGG", 3) == 0;
  if (!found) return 0;
  BYTE head[8];
  CZqFunc::ZQFBUF_Set(g.s, 20);
  if (CZqFunc::ZQFBUF_Read(head, 1, 8, g.s) != 8) return 0;
  const int32_t count = GetI32(head), tableAt = GetI32(head + 4);
  if (count < 0 || tableAt < 0 || tableAt > g.s.m_nSize || count > (g.s.m_nSize - tableAt) / 4) return 0;
  std::vector<BYTE> raw((size_t)count * 4);
  CZqFunc::ZQFBUF_Set(g.s, tableAt);
  if (count && CZqFunc::ZQFBUF_Read(raw.data(), 4, (size_t)count, g.s) != (size_t)count) return 0;
  for (int32_t i = 0; i < count; ++i) AppendFrame(ObjectName(path, FFT_PGM, GetI32(raw.data() + 4 * i)));
  return 1;
}

long CZqTextureGroup::Import(const char* path, int load) {
  if (!path) return E_FAIL;
  StreamGuard g(path, "rb");
  if (!g.ok()) return E_FAIL;
  if (load) return Import(&g.s, load);
  zqtg::Header h;
  std::vector<int32_t> table;
  if (!ReadTable(&g.s, h, table)) return E_FAIL;
  DeleteFrames();
  m_bImported = 1;
  m_dwTeam = h.team;
  m_fBaseAngle = h.baseAngle;
  m_dwCacheSize = h.cacheSize;
  m_dwDefaultDelay = h.delay;
  m_ptBase = SScreenPoint(h.baseX, h.baseY);
  m_ptMoved = SScreenPoint(0, 0);  // all frames are new
  for (int32_t pos : table) AppendFrame(ObjectName(path, FFT_TEX, pos));
  OnInitialize();
  return 0;
}

long CZqTextureGroup::Import(SStreamBuf* stream, int load) {
  if (!stream || !stream->m_pFile) return E_FAIL;
  Cleanup();
  zqtg::Header h;
  std::vector<int32_t> table;
  if (!ReadTable(stream, h, table)) return E_FAIL;
  // Frames read from the file are rebuilt from it after a device loss (ReleaseObjects).
  m_bImported = 1;
  m_dwTeam = h.team;
  m_fBaseAngle = h.baseAngle;
  m_dwCacheSize = h.cacheSize;
  m_dwDefaultDelay = h.delay;
  m_ptBase = SScreenPoint(h.baseX, h.baseY);
  m_frames.assign(table.size(), nullptr);
  if (load) {
    for (size_t i = 0; i < table.size(); ++i) {
      CZqTexture* t = new CZqTexture(m_pEngine);
      m_frames[i] = t;
      long hr = E_FAIL;
      if (table[i] >= 0 && table[i] <= stream->m_nSize) {
        SStreamBuf at = *stream;
        at.m_nOffset = table[i];
        hr = t->Import(&at);
      }
      if (FAILED(hr)) {
        Cleanup();
        return hr;
      }
      PlaceFrame(t);
    }
  }
  OnInitialize();
  return 0;
}

long CZqTextureGroup::Export(const char* path, int runLength) {
  if (!path) return 0;
  StreamGuard g(path, "wb");
  if (!g.ok()) return 0;
  return Export(&g.s, runLength);
}

long CZqTextureGroup::Export(SStreamBuf* stream, int runLength) {
  if (!stream || !stream->m_pFile) return 0;
  const int count = GetNumTexture();
  std::vector<BYTE> head(zqtg::kHeaderSize + 4 * (size_t)count);
  zqtg::Header h;
  h.count = count;
  h.team = m_dwTeam;
  h.baseAngle = m_fBaseAngle;
  h.cacheSize = m_dwCacheSize;
  h.delay = m_dwDefaultDelay;
  h.baseX = m_ptBase.x;
  h.baseY = m_ptBase.y;
  zqtg::WriteHeader(h, head.data());
  CZqFunc::ZQFBUF_Set(stream, 0);
  if (CZqFunc::ZQFBUF_Write(head.data(), 1, head.size(), stream) != head.size()) return 0;
  long total = (long)head.size();
  for (int i = 0; i < count; ++i) {
    const long position = (long)stream->m_nOffset + total;  // absolute position in the file
    CZqTexture* t = GetTexture(i);
    SStreamBuf at = *stream;
    at.m_nOffset = (int32_t)position;
    // Records hold the frames without the group's base point, which reading adds again: a group
    // written and read back has the same base points.
    long size = 0;
    if (t) {
      t->AdjustBasePoint(SScreenPoint(0, 0) - m_ptBase);
      size = t->Export(&at, runLength);
      t->AdjustBasePoint(m_ptBase);
    }
    if (size <= 0) return 0;  // a frame without pixels would leave the table pointing elsewhere
    BYTE slot[4];
    PutU32(slot, (uint32_t)position);
    CZqFunc::ZQFBUF_Set(stream, (long)zqtg::kHeaderSize + 4 * i);
    if (CZqFunc::ZQFBUF_Write(slot, 1, 4, stream) != 4) return 0;
    total += size;
  }
  fflush(stream->m_pFile);
  return total;
}

int CZqTextureGroup::SaveHeader() {
  std::string path = m_strName;
  CZqSource* pack = m_pEngine ? m_pEngine->GetSourcePtr() : nullptr;
  if (sFileInfo* info = pack ? pack->FindSource(m_strName.c_str()) : nullptr) path = info->m_szFile;
  StreamGuard g(path.c_str(), "r+b");
  if (!g.ok()) return 0;
  // Only a texture-group file of as many frames is rewritten: anything else would be corrupted.
  BYTE head[zqtg::kHeaderSize];
  zqtg::Header stored;
  if (CZqFunc::ZQFBUF_Read(head, 1, sizeof head, g.s) != sizeof head || !zqtg::ReadHeader(head, stored) ||
      stored.count != GetNumTexture())
    return 0;
  zqtg::Header h;
  h.count = stored.count;
  h.team = m_dwTeam;
  h.baseAngle = m_fBaseAngle;
  h.cacheSize = m_dwCacheSize;
  h.delay = m_dwDefaultDelay;
  h.baseX = m_ptBase.x;
  h.baseY = m_ptBase.y;
  zqtg::WriteHeader(h, head);
  CZqFunc::ZQFBUF_Set(g.s, 0);
  return CZqFunc::ZQFBUF_Write(head, 1, sizeof head, g.s) == sizeof head ? 1 : 0;
}

void CZqTextureGroup::EnterCache(int index) {
  if (!m_dwCacheSize) return;
  while (!m_cache.empty() && m_cache.size() >= m_dwCacheSize) {
    const int old = m_cache.front();
    m_cache.erase(m_cache.begin());
    // Indices may be stale after frames were deleted.
    if (old >= 0 && old < GetNumTexture() && m_frames[(size_t)old]) m_frames[(size_t)old]->ReleaseObjects();
  }
  m_cache.push_back(index);
}

// A frame made from its source: the group's base point and the callers' moves on top of the
// source's own.
void CZqTextureGroup::PlaceFrame(CZqTexture* t) const { t->AdjustBasePoint(m_ptBase + m_ptMoved); }

// The frame's base point comes from its source again, then it is placed once; a frame that does
// not come back is not placed, so trying again never adds twice. A frame without a name has no
// source and keeps what it has.
void CZqTextureGroup::RestoreFrame(CZqTexture* t) const {
  if (t->GetName().empty()) return;
  t->SetBasePoint(SScreenPoint(0, 0));
  t->RestoreObjects();
  if (t->GetDDrawSurface()) PlaceFrame(t);
}

CZqTexture* CZqTextureGroup::GetTexture(int index) {
  if (index < 0 || index >= GetNumTexture()) return nullptr;
  CZqTexture* t = m_frames[(size_t)index];
  if (m_dwCacheSize && t && std::find(m_cache.begin(), m_cache.end(), index) != m_cache.end()) {
    if (!t->GetDDrawSurface()) RestoreFrame(t);
    return t;
  }
  if (t && t->GetDDrawSurface()) return t;
  if (t) {
    RestoreFrame(t);
  } else {
    if (m_strName.empty()) return nullptr;
    // Read again from the name: the file's settings and base point come back with the frames, and
    // the callers' moves are kept.
    const std::string name = m_strName;
    const SScreenPoint moved = m_ptMoved;
    if (!SetStreamSource(name.c_str(), 1)) return nullptr;
    m_ptMoved = moved;
    for (CZqTexture* f : m_frames)
      if (f && f->GetDDrawSurface()) f->AdjustBasePoint(moved);
    if (index >= GetNumTexture() || !(t = m_frames[(size_t)index])) return nullptr;
    if (!t->GetDDrawSurface()) RestoreFrame(t);
  }
  EnterCache(index);
  return t;
}

CZqTexture* CZqTextureGroup::InsertTexture(int index) {
  CZqTexture* t = new CZqTexture(m_pEngine);
  if (index < 0 || index >= GetNumTexture())
    m_frames.push_back(t);
  else
    m_frames.insert(m_frames.begin() + index, t);
  OnInitialize();
  return t;
}

int CZqTextureGroup::DeleteTexture(int index) {
  if (index < 0 || index >= GetNumTexture()) return 0;
  delete m_frames[(size_t)index];
  m_frames.erase(m_frames.begin() + index);
  OnInitialize();
  return 1;
}

int CZqTextureGroup::SwapTexture(int a, int b) {
  if (a < 0 || b < 0 || a >= GetNumTexture() || b >= GetNumTexture()) return 0;
  std::swap(m_frames[(size_t)a], m_frames[(size_t)b]);
  return 1;
}

void CZqTextureGroup::SetBasePoint(long x, long y) {
  const SScreenPoint by((int32_t)x, (int32_t)y);
  for (int i = 0; i < GetNumTexture(); ++i)
    if (CZqTexture* t = GetTexture(i)) t->AdjustBasePoint(by);
  // After the loop: a frame the loop made anew was placed with the moves before this one.
  m_ptMoved += by;
}

void CZqTextureGroup::ClearCache() {
  for (CZqTexture* t : m_frames)
    if (t) t->ReleaseObjects();
  m_cache.clear();
}

void CZqTextureGroup::ReleaseObjects() {
  for (CZqTexture*& t : m_frames) {
    if (!t) continue;
    if (m_bImported) {
      delete t;
      t = nullptr;
    } else {
      t->ReleaseObjects();
    }
  }
  m_cache.clear();
}
