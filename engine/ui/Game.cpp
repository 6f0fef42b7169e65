// CZqGame: the engine's current game; draws its main panel and hands it all input.
#include "ZqEngine.h"
#include "ZqGame.h"

CZqGame::CZqGame(CZqEngine* engine) : m_pEngine(engine), m_uiMain(engine), m_strStyle("default") {}

CZqGame::~CZqGame() { CZqGame::Cleanup(); }

void CZqGame::Cleanup() {
  m_uiMain.Cleanup();
  if (m_pEngine && m_pEngine->GetGamePtr() == this) m_pEngine->SetGame(nullptr);
}

long CZqGame::Render() {
  if (m_pEngine)
    m_pEngine->PreparePaint(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DTOP_MODULATE2X, D3DTOP_MODULATE);
  return RenderUI();
}

long CZqGame::RenderUI() {
  // Panels are drawn texel for texel: no filtering blur.
  if (m_pEngine) {
    m_pEngine->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    m_pEngine->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
  }
  const SScreenRect& r = m_uiMain.GetRect();
  return m_uiMain.Draw(SScreenPoint(r.left, r.top));
}

long CZqGame::Draw(CZqSurface*) { return 0; }
long CZqGame::Update(DWORD) { return 0; }
void CZqGame::ReleaseSource() { m_uiMain.ReleaseSource(); }
#ifdef ZQ_OLDER_BUILD
long CZqGame::RestoreSource() { return m_uiMain.RestoreSource(); }
#else
int CZqGame::RestoreSourceForGame() { return m_uiMain.RestoreSource() >= 0 ? 1 : 0; }
#endif
long CZqGame::MsgProc(UINT msg, UINT wParam, long lParam) { return m_uiMain.MsgProc(msg, wParam, lParam); }
void CZqGame::OnUICmd(CZqUIPanel*, UINT, LPARAM) {}

int CZqGame::IsStyle(const char* style) const { return style && m_strStyle == style ? 1 : 0; }

SScreenPoint CZqGame::_ToMain(SScreenPoint point) const {
  const SScreenRect& r = m_uiMain.GetRect();
  return SScreenPoint(point.x - r.left, point.y - r.top);
}

DWORD CZqGame::OnMouseMove(UINT flags, SScreenPoint point) {
  return m_uiMain.OnMouseMove(flags, _ToMain(point));
}
DWORD CZqGame::OnMouseWheel(UINT flags, short delta, SScreenPoint point) {
  return m_uiMain.OnMouseWheel(flags, delta, _ToMain(point));
}
DWORD CZqGame::OnLButtonDown(UINT flags, SScreenPoint point) {
  return m_uiMain.OnLButtonDown(flags, _ToMain(point));
}
DWORD CZqGame::OnLButtonUp(UINT flags, SScreenPoint point) {
  return m_uiMain.OnLButtonUp(flags, _ToMain(point));
}
DWORD CZqGame::OnLButtonDbClk(UINT flags, SScreenPoint point) {
  return m_uiMain.OnLButtonDbClk(flags, _ToMain(point));
}
DWORD CZqGame::OnRButtonDown(UINT flags, SScreenPoint point) {
  return m_uiMain.OnRButtonDown(flags, _ToMain(point));
}
DWORD CZqGame::OnRButtonUp(UINT flags, SScreenPoint point) {
  return m_uiMain.OnRButtonUp(flags, _ToMain(point));
}
DWORD CZqGame::OnRButtonDbClk(UINT flags, SScreenPoint point) {
  return m_uiMain.OnRButtonDbClk(flags, _ToMain(point));
}
DWORD CZqGame::OnChar(UINT key, UINT repeat, UINT keyFlags) { return m_uiMain.OnChar(key, repeat, keyFlags); }
DWORD CZqGame::OnKeyDown(UINT key, UINT repeat, UINT keyFlags) {
  return m_uiMain.OnKeyDown(key, repeat, keyFlags);
}
DWORD CZqGame::OnKeyUp(UINT key, UINT repeat, UINT keyFlags) {
  return m_uiMain.OnKeyUp(key, repeat, keyFlags);
}
