// CCardAnimItem: one bonus-card place: a flip from the card back to a mahjong face, the fold back,
// a flash and a fade, drawn as a frame quad (the flip image) under a face quad (the face texture).
#pragma once

#include <memory>

#include "SpriteQuad.h"
#include "ZqLib.h"

class CCardAnimSet;

class CCardAnimItem {
 public:
  // Item types; Update returns one of them or an event code.
  enum { kIdle = 0, kFaceShown = 1, kFolding = 2, kFlipping = 3, kFading = 4, kFlashing = 5 };
  // Events: the fold reached the card back, the flip reached the face, a fade or flash ended.
  enum { kFolded = 6, kFlipped = 7, kBlinkEnded = 8 };

  CCardAnimItem();
  virtual ~CCardAnimItem();
  CCardAnimItem(const CCardAnimItem&) = delete;
  CCardAnimItem& operator=(const CCardAnimItem&) = delete;

  int Load(CCardAnimSet* set, int x, int y);
  int Update();
  void Render();

  void StartFlip(int n);
  void StartFade();
  void StartFlash();
  void Clear();
  void ShowFace();

  int GetType() const { return m_nType; }
  int GetFrameIndex() const { return m_nFrameIndex; }
  int GetFrameCounter() const { return m_nFrameCounter; }
  int IsVisible() const { return m_bVisible; }
  int IsFaceVisible() const { return m_bFaceVisible; }
  int GetFaceNumber() const { return m_nFace; }
  float GetAlpha() const { return m_fAlpha; }
  int GetX() const { return m_nX; }
  int GetY() const { return m_nY; }
  void SetVisible(int visible) { m_bVisible = visible; }
  const D3DTLVERTEX* GetFrameQuad() const { return m_FrameQuad.v; }
  const D3DTLVERTEX* GetFaceQuad() const { return m_FaceQuad.v; }
  CZqTexture* GetFaceTexture() const { return m_pFace.get(); }

 private:
  void ApplyKeyFrames(int frame);
  void SetDiffuse(DWORD color);
  // Places the face quad over the whole card again.
  void ResetFaceQuad();
  void StartBlink(int type);
  // One frame step of a flip (+1) or a fold (-1), once anim_time has passed.
  void Step(int direction, DWORD now);

  CCardAnimSet* m_pSet = nullptr;
  int m_nX = 0;
  int m_nY = 0;
  SSpriteQuad m_FrameQuad;
  SSpriteQuad m_FaceQuad;
  std::unique_ptr<CZqTexture> m_pFace;
  int m_nFrameIndex = 0;
  int m_nType = kIdle;
  int m_nSavedType = kIdle;
  int m_nFrameCounter = 0;
  int m_bVisible = 1;
  int m_bFaceVisible = 0;
  int m_nFace = 1;
  // System milliseconds.
  DWORD m_dwStepTime = 0;
  DWORD m_dwStartTime = 0;
  DWORD m_dwFlashTime = 0;
  float m_fAlpha = 0.0f;
};
