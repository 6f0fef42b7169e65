// Frame animations: CZqAnimation plays a range of a texture group's frames over the engine time.
#pragma once

#include <string>

#include "ZqDefs.h"

class CZqEngine;
class CZqTexture;
class CZqTextureGroup;

class ZQ_API CZqAnimation {
 public:
  explicit CZqAnimation(CZqEngine* engine = nullptr);
  CZqAnimation(const CZqAnimation&) = delete;
  CZqAnimation& operator=(const CZqAnimation&) = delete;

  // ---- virtual operations, in slot order ----
  virtual long Draw(long x, long y, float z, float scaleX, float scaleY, float alpha, float angle,
                    DWORD color);
  virtual long DrawFast(long x, long y, float z, float scaleX, float scaleY, float alpha, DWORD color);
  virtual void Cleanup();
  virtual void Play(long mode, int restart, float passes, float extra, float seconds);
  virtual void PlayToStart(int restart, float seconds);
  virtual void PlayToEnd(int restart, float seconds);
  virtual void PlayToReframe(int flag, int rewindFrames, int rewinds, int restart, float seconds);
  // Frame steps taken; 0 for a single frame; -1 when not ready, stopped or ending now.
  virtual long Update();
  // "group[,cur[,first[,last[,delay[,mode]]]]]"
  virtual int Create(const char* description);
  virtual ~CZqAnimation();

  void SetZqEngine(CZqEngine* engine);
  CZqEngine* GetZqEngine() const { return m_pEngine; }
  CZqTexture* GetCurrentFrame();
  long GetFrameCount() const { return m_nFrameCount; }
  long GetCurrentFrameEx() const { return m_nCurrentFrame; }
  void SetCurrentFrameEx(unsigned frame) { m_nCurrentFrame = static_cast<int32_t>(frame); }
  void SetPos(int pos);
  void SetFrameDelay(unsigned long delay) { m_dwDelay = static_cast<DWORD>(delay); }
  DWORD GetFrameDelay() const { return m_dwDelay; }
  const char* GetKey() const { return m_strKey.c_str(); }
  CZqTextureGroup* GetTextureGroup() const { return m_pGroup; }
  int IsPlaying() const { return m_nMode != 0; }
  int IsReady() const { return m_pGroup != nullptr; }
  long ReleaseObjects();

  long GetFirstFrame() const { return m_nFirstFrame; }
  long GetLastFrame() const { return m_nLastFrame; }
  long GetMode() const { return m_nMode; }
  DWORD GetTimeLimit() const { return m_dwTimeLimit; }

 protected:
  CZqEngine* m_pEngine;
  CZqTextureGroup* m_pGroup;
  int32_t m_nCurrentFrame;
  int32_t m_nFirstFrame;
  int32_t m_nLastFrame;
  int32_t m_nFrameCount;
  DWORD m_dwDelay;
  DWORD m_dwAccumulated;
  DWORD m_dwPlayed;
  DWORD m_dwTimeLimit;
  int32_t m_nDirection;
  int32_t m_bReframe;
  int32_t m_nRewindFrames;
  int32_t m_nRewindsLeft;
  int32_t m_nMode;
  std::string m_strKey;

 private:
  // The extra time of a single pass at the delay that `seconds` leaves in force.
  float OnePassExtra(float seconds) const;
};
