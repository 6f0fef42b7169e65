#include "CardAnimItem.h"

#include "CardAnimSet.h"

CCardAnimItem::CCardAnimItem() = default;
CCardAnimItem::~CCardAnimItem() = default;
int CCardAnimItem::Load(CCardAnimSet*, int, int) { return 0; }
int CCardAnimItem::Update() { return m_nType; }
void CCardAnimItem::Render() {}
void CCardAnimItem::StartFlip(int) {}
void CCardAnimItem::StartFade() {}
void CCardAnimItem::StartFlash() {}
void CCardAnimItem::Clear() {}
void CCardAnimItem::ShowFace() {}
void CCardAnimItem::ApplyKeyFrames(int) {}
void CCardAnimItem::SetDiffuse(DWORD) {}
float CCardAnimItem::Now() const { return 0.0f; }
