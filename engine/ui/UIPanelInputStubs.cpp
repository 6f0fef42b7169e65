// Placeholder bodies of the panel's input side until its own file lands.
#include "ZqUIPanel.h"

int CZqUIPanel::HitTest(SScreenPoint) { return 0; }
void CZqUIPanel::OnClick() {}
DWORD CZqUIPanel::OnMouseMove(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnMouseWheel(UINT, short, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnLButtonDown(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnLButtonUp(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnLButtonDbClk(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnRButtonDown(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnRButtonUp(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnRButtonDbClk(UINT, SScreenPoint) { return 0; }
DWORD CZqUIPanel::OnChar(UINT, UINT, UINT) { return 0; }
DWORD CZqUIPanel::OnKeyDown(UINT, UINT, UINT) { return 0; }
DWORD CZqUIPanel::OnKeyUp(UINT, UINT, UINT) { return 0; }
void CZqUIPanel::OnNotify(unsigned long, std::string) {}
int CZqUIPanel::HitTest_Drag(SScreenPoint) { return 0; }
int CZqUIPanel::HitTest_Press(SScreenPoint) { return 0; }
int CZqUIPanel::HitTest_Touch(SScreenPoint) { return 0; }
long CZqUIPanel::MsgProc(UINT, UINT, long) { return 0; }
void CZqUIPanel::PickClientToScreen(SScreenPoint&) const {}
void CZqUIPanel::PickScreenToClient(SScreenPoint&) const {}
void CZqUIPanel::_DrawEditOutline(SScreenPoint) {}
int CZqUIPanel::_InGrownRect(SScreenPoint) const { return 0; }
void CZqUIPanel::_Post(UINT) const {}
