// ZQ_UI_ActiveCaption (style "active_caption"): a panel whose caption lines scroll in trains, or
// stand centred and pulse in flash mode. The newer build adds a queue of one-time broadcast texts.
#pragma once

#include <deque>
#include <list>
#include <string>
#include <vector>

#include "ZqUIPanel.h"

class ZQ_API ZQ_UI_ActiveCaption : public CZqUIPanel {
 public:
  // At most this many texts wait in the broadcast queue.
  static constexpr size_t kMaxBroadcasts = 200;

  struct SLineRecord {
    std::string text;
    int32_t width = 0;
    int32_t height = 0;
#ifndef ZQ_OLDER_BUILD
    int32_t oneShot = 0;  // a broadcast text: rides in one train only
#endif
  };
  struct SShownLine {
    std::string text;
    float x = 0.0f;
    float y = 0.0f;
    float entered = 0.0f;  // past this the line has fully come in
    float end = 0.0f;      // past this the line has left
    int32_t boxWidth = 0;
    int32_t boxHeight = 0;
  };

  explicit ZQ_UI_ActiveCaption(CZqUIPanel* parent);
  ~ZQ_UI_ActiveCaption() override;

  int Restore() override;
  long UpdateCaption() override;

  void SetFlash(int flash);
  int IsFlash() const { return m_bFlash; }
  long UpdateCaptionEx();

#ifndef ZQ_OLDER_BUILD
  long OnUpdate() override;
  long OnDraw(SScreenPoint at) override;
  int AddShowLine();
  void Add_Broadcast(const char* text, bool twice);
  void Update_Broadcast();
  size_t GetBroadcastCount() const { return m_queBroadcast.size(); }
#endif

  const std::list<SShownLine>& GetShownLines() const { return m_listShown; }
  const std::vector<SLineRecord>& GetLineRecords() const { return m_vecLines; }
  float GetSpeedX() const { return m_fSpeedX; }
  float GetSpeedY() const { return m_fSpeedY; }

#ifdef ZQ_OLDER_BUILD
 protected:
  long OnUpdate() override;
  long OnDraw(SScreenPoint at) override;
  int AddShowLine();
#endif

 protected:
  // The extent of `text` in the panel's font, measured on a screen device context.
  SIZE _Measure(const char* text) const;
  // The four tests of a line against a threshold, by the signs of the speeds.
  int _Passed(const SShownLine& line, float threshold) const;

  float m_fSpeedX;
  float m_fSpeedY;
  int32_t m_nWidth;
  int32_t m_nHeight;
  int32_t m_nSpace;
  uint32_t m_nNextLine;
  std::list<SShownLine> m_listShown;
  std::vector<SLineRecord> m_vecLines;
#ifndef ZQ_OLDER_BUILD
  std::deque<std::string> m_queBroadcast;
#endif
  int32_t m_bFlash;
};
