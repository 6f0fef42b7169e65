// Music and video playback (CZqMedia): one file played through a filter graph, its events
// posted to the engine window as ZQ_MEDIAMSG_BASE + the object's index.
#pragma once

#include <string>

#include "ZqDefs.h"
#include "zqplatform/media.h"

class CZqEngine;

#ifndef ZQ_MEDIAMSG_BASE
#define ZQ_MEDIAMSG_BASE 0xBF00
#endif

class ZQ_API CZqMedia {
 public:
  // Registers itself in the engine's media map under the smallest free index.
  explicit CZqMedia(CZqEngine* engine);
  virtual int SetStreamSource(const char* name);  // 1 loaded, 0 failed
  virtual void Cleanup();
  virtual ~CZqMedia();

  long InitDirectShow();
  long FreeDirectShow();

  long Play();
  long Stop();  // also rewinds
  long Pause();
  long Resume();
  long HandleGraphEvent();

  long SetVolume(long volume);  // hundredths of a dB, clamped to -10000..0
  long GetVolume() const { return m_lVolume; }
  void SetLooping(int looping) { m_bLooping = looping; }
  long GetLooping() const { return m_bLooping; }
  int IsPlaying() const { return m_nState == 2; }
  int IsPause() const { return m_nState == 1; }
  int IsVideo() const { return m_bVideo; }
  int GetIndex() const { return m_nIndex; }

  long GetPositions(LONGLONG& current, LONGLONG& stop);
  long SetPositions(LONGLONG position);
  long GetDuration(LONGLONG& duration);
  void UpdateBounds();
  void UpdateOwner();

  CZqMedia(const CZqMedia&) = delete;
  CZqMedia& operator=(const CZqMedia&) = delete;

 protected:
  OAHWND EngineWindow() const;
  void LeaveVideoSlot();

  IGraphBuilder* m_pGB = nullptr;
  IMediaSeeking* m_pMS = nullptr;
  IMediaControl* m_pMC = nullptr;
  IMediaEventEx* m_pME = nullptr;
  IBasicVideo* m_pBV = nullptr;
  IVideoWindow* m_pVW = nullptr;
  CZqEngine* m_pEngine;
  std::string m_strName;
  int m_bLooping = 0;
  int m_bVideo = 0;
  int32_t m_lVolume = 0;
  int32_t m_nIndex = -1;
  int32_t m_nState = 0;  // 0 stopped, 1 paused, 2 playing
};
