// CCardAnimSet: the ten bonus-card places of the mahjong kind. A row's three faces are dealt onto
// the next free places one card after the other; on free games every card flashes and shows its
// face; when they end the cards fade, turn back to the card back and reappear one by one.
#pragma once

#include <memory>
#include <vector>

#include "ZqLib.h"

class CCardAnimItem;

class CCardAnimSet {
 public:
  // Set states; Update returns the event codes kRowDealt, kLastDealt and kRevealed only on the frame
  // the event happens and kIdle on the frames after.
  enum {
    kIdle = 9,
    kDealing = 10,
    kRowDealt = 12,
    kLastDealt = 14,
    kFlashing = 15,
    kFading = 16,
    kRevealing = 18,
    kRevealed = 19
  };
  // Place status.
  enum { kPlaceFree = 0, kPlaceDealt = 1, kPlaceFlipping = 2 };
  static constexpr int kPlaces = 10;
  static constexpr int kFaces = 6;

  struct SKeyFrame {
    int frame = 0;
    float blend = 0.0f;
    SScreenRect rect;
  };

  explicit CCardAnimSet(CZqEngine* engine);
  virtual ~CCardAnimSet();
  CCardAnimSet(const CCardAnimSet&) = delete;
  CCardAnimSet& operator=(const CCardAnimSet&) = delete;

  // 1 when the file, every image and every place loaded, else 0.
  int Load(const char* fileName);
  // Once a frame; the event code of this frame.
  int Update();
  void Render();

  // The three face numbers of a grid row, dealt onto the next free places.
  void DealRow(const int faces[3]);
  void FlashAndShow();
  void FadeAndClear();
  // Copies face n (1..6) of the face strip into (0, 0, W, H) of the texture; 0 for n outside 1..6.
  int PaintFace(CZqTexture* texture, int n);

  int GetState() const { return m_nState; }
  int GetPlaceStatus(int place) const;
  CCardAnimItem* GetItem(int i) const;
  int GetItemCount() const { return static_cast<int>(m_Items.size()); }

  CZqEngine* GetEngine() const { return m_pEngine; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  int GetFrameTime() const { return m_nFrameTime; }
  int GetLastFrame() const { return m_nLastFrame; }
  float GetExtentU() const { return m_fExtentU; }
  float GetExtentV() const { return m_fExtentV; }
  float GetFlashTime() const { return m_fFlashTime; }
  float GetFlashInterval() const { return m_fFlashInterval; }
  float GetDealInterval() const { return m_fDealInterval; }
  int GetFrameCount() const { return static_cast<int>(m_Frames.size()); }
  CZqAnimation* GetFrame(int index) const;
  const std::vector<SKeyFrame>& GetKeyFrames() const { return m_KeyFrames; }

 private:
  struct SPlace {
    int status = kPlaceFree;
    CCardAnimItem* item = nullptr;
  };

  void Reset();
  // The first place with this status, -1 for none.
  int FindPlace(int status) const;
  // Every item updated; whether all of them ended their flash or fade on this frame.
  int AllBlinksEnded();
  void BeginReveal();

  CZqEngine* m_pEngine;
  CConfig m_Config;
  std::unique_ptr<CZqAnimation> m_pFaceStrip;
  std::vector<std::unique_ptr<CZqAnimation>> m_Frames;
  std::vector<SKeyFrame> m_KeyFrames;
  std::vector<std::unique_ptr<CCardAnimItem>> m_Items;
  std::vector<SPlace> m_Places;
  int m_nHeight = 0;
  int m_nWidth = 0;
  int m_nFrameTime = 0;
  int m_nLastFrame = 0;
  float m_fExtentU = 0.0f;
  float m_fExtentV = 0.0f;
  float m_fFlashTime = 0.0f;
  float m_fFlashInterval = 0.0f;
  float m_fDealInterval = 0.0f;
  int m_RowFaces[3] = {};
  int m_nDealt = 0;
  int m_nRevealIndex = -1;
  DWORD m_dwRevealTime = 0;  // system milliseconds
  int m_nState = kIdle;
};
