// ZQ_UI_Layer: a panel that paints a translucent coloured rectangle over its own area.
#include <algorithm>

#include "ZqEngine.h"
#include "ZqUIWidgets.h"

namespace {

CZqUIPanel* NewLayer(CZqEngine*, CZqUIPanel* parent) { return parent ? new ZQ_UI_Layer(parent) : nullptr; }

const bool kRegistered = (CZqEngine::UI_RegisterStyle("layer", &NewLayer), true);

DWORD Channel(float value) { return (DWORD)(int)(value * 255.0f); }

}  // namespace

ZQ_UI_Layer::ZQ_UI_Layer(CZqUIPanel* parent)
    : CZqUIPanel(parent), m_fAlpha(0.3f), m_fRed(0.0f), m_fGreen(0.5f), m_fBlue(0.0f), m_bFill(1) {
  (void)kRegistered;
  m_strStyle = "layer";
}

ZQ_UI_Layer::~ZQ_UI_Layer() = default;

void ZQ_UI_Layer::SetLayerColor(float alpha, float red, float green, float blue) {
  // Kept in 0..1: the channels are packed unmasked, so a larger value would spill into the next.
  auto unit = [](float v) { return v > 0.0f ? std::min(v, 1.0f) : 0.0f; };
  m_fAlpha = unit(alpha);
  m_fRed = unit(red);
  m_fGreen = unit(green);
  m_fBlue = unit(blue);
}

long ZQ_UI_Layer::OnDraw(SScreenPoint at) {
  if (!m_pEngine) return E_FAIL;
  SScreenRect rect(at, GetSize());
  const DWORD color =
      ((((Channel(m_fAlpha) << 8) | Channel(m_fRed)) << 8 | Channel(m_fGreen)) << 8) | Channel(m_fBlue);
  m_pEngine->Render_DrawRect(&rect, m_bFill, color, m_bBackLayer ? 1.0f : 0.0f);
  return 0;
}
