// Texture groups: CZqTextureGroup, an indexed set of CZqTexture frames made from one name
// (a numbered pattern, a list, a pack entry, a picture-group file or a texture-group file
// "ZQTG2003a"), created lazily and optionally kept within a frame cache.
#pragma once

#include <string>
#include <vector>

#include "ZqDefs.h"
#include "ZqFunc.h"
#include "ZqGeometry.h"

class CZqEngine;
class CZqTexture;

class ZQ_API CZqTextureGroup {
 public:
  explicit CZqTextureGroup(CZqEngine* engine);
  // Sets up only the engine; the name and the flag are not used.
  CZqTextureGroup(CZqEngine* engine, const char* name, int flag);
  CZqTextureGroup(const CZqTextureGroup&) = delete;
  CZqTextureGroup& operator=(const CZqTextureGroup&) = delete;

  // User count minus one; at 0 or less the group is cleaned. Returns the new count.
  virtual int Release();
  // Unregisters the group from the engine under its name.
  virtual ~CZqTextureGroup();
  // Called after every change of the frame list.
  virtual void OnInitialize() {}

  int AddUser() { return ++m_nUser; }

  int SetStreamSource(const char* name, int load);
  // The frame, created or restored on demand; null out of range.
  CZqTexture* GetTexture(int index);
  int GetNumTexture() const { return (int)m_frames.size(); }

  int LoadFromPGG(const char* path);
  long Import(const char* path, int load);
  long Import(SStreamBuf* stream, int load);
  long Export(const char* path, int runLength);
  long Export(SStreamBuf* stream, int runLength);
  int SaveHeader();

  CZqTexture* InsertTexture(int index);
  int DeleteTexture(int index);
  int SwapTexture(int a, int b);
  // Moves every frame's base point; the group's own stays.
  void SetBasePoint(long x, long y);
  void ClearCache();
  void ReleaseObjects();
  void Cleanup();

  SScreenPoint GetBasePoint() const { return m_ptBase; }
  void SetTeam(DWORD team) { m_dwTeam = team; }
  DWORD GetTeam() const { return m_dwTeam; }
  void SetBaseAngle(float angle) { m_fBaseAngle = angle; }
  float GetBaseAngle() const { return m_fBaseAngle; }
  void SetDefaultDelay(DWORD delay) { m_dwDefaultDelay = delay; }
  DWORD GetDefaultDelay() const { return m_dwDefaultDelay; }
  void SetCacheSize(DWORD size) { m_dwCacheSize = size; }
  DWORD GetCacheSize() const { return m_dwCacheSize; }
  const std::string& GetName() const { return m_strName; }
  int IsImported() const { return m_bImported; }
  _FILE_FORMAT_TYPE GetSourceType() const { return m_type; }

 private:
  void SetDefaults();
  void DeleteFrames();
  CZqTexture* AppendFrame(const std::string& name);
  int BuildFrames(int load);
  int BuildFromPattern(const std::string& name);
  void EnterCache(int index);
  void PlaceFrame(CZqTexture* t) const;
  void RestoreFrame(CZqTexture* t) const;

  int m_bImported;
  _FILE_FORMAT_TYPE m_type;
  int m_nUser;
  DWORD m_dwTeam;
  float m_fBaseAngle;
  CZqEngine* m_pEngine;
  std::string m_strName;
  DWORD m_dwDefaultDelay;
  DWORD m_dwCacheSize;
  std::vector<int> m_cache;  // frame indices in the order they entered the cache
  std::vector<CZqTexture*> m_frames;
  SScreenPoint m_ptBase;
  // What callers moved every frame by (SetBasePoint): frames made anew get it again.
  SScreenPoint m_ptMoved;
};
