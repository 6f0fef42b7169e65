// ZQ_UI_ActiveCaption: caption lines split at "|" travel across the header area in trains.
#include <algorithm>
#include <cstring>

#include "ZqEngine.h"
#include "ZqUICaption.h"

namespace {

CZqUIPanel* NewCaption(CZqEngine*, CZqUIPanel* parent) {
  return parent ? new ZQ_UI_ActiveCaption(parent) : nullptr;
}

const bool kRegistered = (CZqEngine::UI_RegisterStyle("active_caption", &NewCaption), true);

constexpr size_t kMaxCaptionText = 999;
constexpr DWORD kCaptionColor = 0xFF7F7F7F;

// Splits the first `limit` bytes at "|" outside GBK double bytes (a trail byte may be 0x7C);
// empty pieces are skipped, and a double byte that the limit would cut is left out whole.
std::vector<std::string> SplitLines(const std::string& text, size_t limit) {
  std::vector<std::string> pieces;
  std::string piece;
  const size_t end = std::min(text.size(), limit);
  for (size_t i = 0; i < end; ++i) {
    const unsigned char c = (unsigned char)text[i];
    if (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) {
      if (i + 1 >= end) break;
      piece += text[i];
      piece += text[++i];
    } else if (c == '|') {
      if (!piece.empty()) pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      piece += text[i];
    }
  }
  if (!piece.empty()) pieces.push_back(std::move(piece));
  return pieces;
}

int Sign(float v) { return v > 0.0f ? 1 : (v < 0.0f ? -1 : 0); }

}  // namespace

ZQ_UI_ActiveCaption::ZQ_UI_ActiveCaption(CZqUIPanel* parent)
    : CZqUIPanel(parent),
      m_fSpeedX(0.0f),
      m_fSpeedY(0.0f),
      m_nWidth(0),
      m_nHeight(0),
      m_nSpace(0),
      m_nNextLine(0),
      m_bFlash(0) {
  (void)kRegistered;
  m_strStyle = "active_caption";
}

ZQ_UI_ActiveCaption::~ZQ_UI_ActiveCaption() = default;

int ZQ_UI_ActiveCaption::Restore() {
  m_fSpeedX = m_config.GetFloat("ACTIVE_CAPTION", "speed_x", "0.0f");
  m_fSpeedY = m_config.GetFloat("ACTIVE_CAPTION", "speed_y", "0.0f");
  m_nWidth = (int32_t)m_config.GetFloat("ACTIVE_CAPTION", "width", "0.0f");
  m_nHeight = (int32_t)m_config.GetFloat("ACTIVE_CAPTION", "height", "0.0f");
  m_nSpace = (int32_t)m_config.GetFloat("ACTIVE_CAPTION", "space_size", "0.0f");
  const int result = CZqUIPanel::Restore();
  m_nNextLine = 0;
  AddShowLine();
  return result;
}

SIZE ZQ_UI_ActiveCaption::_Measure(const char* text) const {
  SIZE size{0, 0};
  HDC dc = GetDC(nullptr);
  if (!dc) return size;
  HGDIOBJ old = m_hFont ? SelectObject(dc, m_hFont) : nullptr;
  GetTextExtentPoint32A(dc, text, (int)std::strlen(text), &size);
  if (old) SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

long ZQ_UI_ActiveCaption::UpdateCaption() {
  m_vecLines.clear();
  if (m_strCaption.empty()) return 0;
  for (std::string& piece : SplitLines(m_strCaption, kMaxCaptionText)) {
    const SIZE extent = _Measure(piece.c_str());
    SLineRecord record;
    record.text = std::move(piece);
    record.width = extent.cx;
    record.height = extent.cy;
    m_vecLines.push_back(std::move(record));
  }
  if (m_bFlash) {
    // The still train always starts with the first line, wherever the last train stopped.
    m_listShown.clear();
    m_nNextLine = 0;
    AddShowLine();
    int sumW = 0, sumH = 0;
    for (const SShownLine& line : m_listShown) {
      sumW += line.boxWidth;
      sumH += line.boxHeight;
    }
    const int a = (m_rcHeader.width() - m_nSpace + sumW) / 2;
    const int b = (m_rcHeader.height() - m_nSpace + sumH) / 2;
    for (SShownLine& line : m_listShown) {
      line.x += (float)(Sign(m_fSpeedX) * a);
      line.y += (float)(Sign(m_fSpeedY) * b);
    }
  }
  m_nNextLine = 0;
  return UpdateCaptionEx();
}

int ZQ_UI_ActiveCaption::AddShowLine() {
  if (m_vecLines.empty()) return 0;
  if (m_nNextLine >= m_vecLines.size()) m_nNextLine = 0;
  const int W = m_rcHeader.width(), H = m_rcHeader.height(), s = m_nSpace;
  const int lineBox = m_nHeight ? m_nHeight : H;
  int offset = 0;
  for (; m_nNextLine < m_vecLines.size(); ++m_nNextLine) {
    const SLineRecord& record = m_vecLines[m_nNextLine];
    const int w = record.width, h = record.height;
    SShownLine line;
    line.text = record.text;
    int step = 0;
    if (m_fSpeedX > 0.0f) {
      line.x = (float)(-(w + s) - offset);
      line.entered = 0.0f;
      line.end = (float)W;
    } else if (m_fSpeedX < 0.0f) {
      line.x = (float)(W + offset);
      line.entered = (float)(W - w - s);
      line.end = (float)(-(w + s));
    }
    if (m_fSpeedX != 0.0f) {
      line.boxWidth = w + s;
      line.boxHeight = lineBox;
      step += w + s;
    }
    if (m_fSpeedY > 0.0f) {
      line.y = (float)(-(h + s) - offset);
      line.entered = 0.0f;
      line.end = (float)H;
    } else if (m_fSpeedY < 0.0f) {
      line.y = (float)(H + offset);
      line.entered = (float)(H - h - s);
      line.end = (float)(-(h + s));
    }
    if (m_fSpeedY != 0.0f) {
      line.boxWidth = W;
      line.boxHeight = h + s;
      step += h + s;
    }
    offset += step;
    m_listShown.push_back(std::move(line));
  }
#ifndef ZQ_OLDER_BUILD
  m_vecLines.erase(std::remove_if(m_vecLines.begin(), m_vecLines.end(),
                                  [](const SLineRecord& r) { return r.oneShot != 0; }),
                   m_vecLines.end());
#endif
  return 1;
}

int ZQ_UI_ActiveCaption::_Passed(const SShownLine& line, float threshold) const {
  const float x = line.x, y = line.y;
  return (m_fSpeedX > 0.0f && x > threshold) || (m_fSpeedX < 0.0f && x < threshold) ||
         (m_fSpeedY > 0.0f && y > threshold) || (m_fSpeedY < 0.0f && y < threshold);
}

long ZQ_UI_ActiveCaption::OnUpdate() {
  const long base = CZqUIPanel::OnUpdate();
  if (m_bFlash) return base;
  const float dt = m_pEngine ? (float)m_pEngine->GetElapsedTime() : 0.0f;
  for (auto it = m_listShown.begin(); it != m_listShown.end();) {
    it->x += dt * m_fSpeedX * 0.0001f;
    it->y += dt * m_fSpeedY * 0.0001f;
    if (_Passed(*it, it->end))
      it = m_listShown.erase(it);
    else
      ++it;
  }
#ifdef ZQ_OLDER_BUILD
  if (m_listShown.empty() || _Passed(m_listShown.back(), m_listShown.back().entered)) AddShowLine();
  UpdateCaptionEx();
#else
  if (m_listShown.empty()) {
    AddShowLine();
    UpdateCaptionEx();
  } else if (_Passed(m_listShown.back(), m_listShown.back().entered)) {
    Update_Broadcast();
    UpdateCaptionEx();
    AddShowLine();
    UpdateCaptionEx();
  } else {
    UpdateCaptionEx();
  }
#endif
  return base;
}

long ZQ_UI_ActiveCaption::UpdateCaptionEx() {
  m_texCaption.Clear(0);
  const int W = m_rcHeader.width(), H = m_rcHeader.height();
  for (const SShownLine& line : m_listShown) {
    // The texture is the header's own area, so boxes are in header coordinates.
    SScreenRect box((int)line.x, (int)line.y, 0, 0);
    box.right = box.left + line.boxWidth;
    box.bottom = box.top + line.boxHeight;
    m_texCaption.DrawTextA(m_hFont, line.text.c_str(), &box, W, H, m_dwAlign | 0x24, m_dwColor, 0);
  }
  return 0;
}

long ZQ_UI_ActiveCaption::OnDraw(SScreenPoint at) {
  const float z = m_bBackLayer ? 0.99f : 0.0f;
  float alpha = 1.0f;
  if (m_bFlash && m_pEngine) alpha = m_pEngine->ValueCycle(0.0f, 2.0f, 0, 2000, 1);
  if (m_pCurrent) m_pCurrent->Draw(at.x, at.y, z, 1.0f, 1.0f, 1.0f, 0.0f, kCaptionColor);
  if (m_bCaption && m_pEngine && m_texCaption.GetDDrawSurface())
    m_pEngine->Render_PaintFast(at.x + m_rcHeader.left, at.y + m_rcHeader.top, &m_texCaption, z, 1.0f, 1.0f,
                                alpha, kCaptionColor);
  return 0;
}

void ZQ_UI_ActiveCaption::SetFlash(int flash) {
  if (flash == m_bFlash) return;
  m_bFlash = flash;
  m_listShown.clear();
  UpdateCaption();
}

#ifndef ZQ_OLDER_BUILD
void ZQ_UI_ActiveCaption::Add_Broadcast(const char* text, bool twice) {
  // Both copies of a "twice" text count toward the bound, so no caller can grow the queue forever.
  const std::string t = text ? text : "";
  for (int copies = twice ? 2 : 1; copies > 0 && m_queBroadcast.size() < kMaxBroadcasts; --copies)
    m_queBroadcast.push_back(t);
}

void ZQ_UI_ActiveCaption::Update_Broadcast() {
  if (m_queBroadcast.empty()) return;
  SLineRecord record;
  record.text = std::move(m_queBroadcast.front());
  m_queBroadcast.pop_front();
  const SIZE extent = _Measure(record.text.c_str());
  record.width = extent.cx;
  record.height = extent.cy;
  record.oneShot = 1;
  m_vecLines.push_back(std::move(record));
}
#endif
