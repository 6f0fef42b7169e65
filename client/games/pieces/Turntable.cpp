#include "Turntable.h"

CTurntable::CTurntable(CZqEngine* engine) : m_pEngine(engine), m_pImage(new CZqAnimation(engine)) {}

CTurntable::~CTurntable() = default;

void CTurntable::SetResult(const int* /*symbols*/) {}
void CTurntable::SetStopIndex(int /*index*/) {}
void CTurntable::QuickStop() {}
int CTurntable::Load(const char* /*config*/, SScreenPoint /*position*/, const char* /*name*/) { return 0; }
int CTurntable::Update() { return -1; }
void CTurntable::Cleanup() {}
int CTurntable::Render() { return 0; }
int CTurntable::BuildStrip() { return 0; }
void CTurntable::PaintCardCodes(const char* /*code*/) {}
void CTurntable::UpdateTexCoords() {}
int CTurntable::PaintCard(int /*card*/, int /*cell*/) { return 0; }
int CTurntable::FindCard(int /*symbol*/) { return m_nCurrentIndex; }
int CTurntable::GetCardSymbol(int cell) const {
  return cell >= 0 && cell < static_cast<int>(m_Symbols.size()) ? m_Symbols[cell] : -1;
}
DWORD CTurntable::Elapsed() const { return 0; }
void CTurntable::Wrap() {}
void CTurntable::ResetDefaults() {}

CTurntableEx::CTurntableEx(CZqEngine* engine) : CTurntable(engine) {}
CTurntableEx::~CTurntableEx() = default;
void CTurntableEx::SetResult(const int* /*symbols*/) {}
void CTurntableEx::QuickStop() {}
int CTurntableEx::Update() { return -1; }
void CTurntableEx::PaintCardCodes(const char* /*code*/) {}
void CTurntableEx::StartPullUp() {}
void CTurntableEx::StartSpin() {}
