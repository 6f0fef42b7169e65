#include "CardAnimSet.h"

#include "CardAnimItem.h"

CCardAnimSet::CCardAnimSet(CZqEngine* engine) : m_pEngine(engine) {}
CCardAnimSet::~CCardAnimSet() = default;
int CCardAnimSet::Load(const char*) { return 0; }
int CCardAnimSet::Update() { return kIdle; }
void CCardAnimSet::Render() {}
void CCardAnimSet::DealRow(const int*) {}
void CCardAnimSet::FlashAndShow() {}
void CCardAnimSet::FadeAndClear() {}
int CCardAnimSet::PaintFace(CZqTexture*, int) { return 0; }
int CCardAnimSet::GetPlaceStatus(int) const { return kPlaceFree; }
CCardAnimItem* CCardAnimSet::GetItem(int) const { return nullptr; }
CZqAnimation* CCardAnimSet::GetFrame(int) const { return nullptr; }
void CCardAnimSet::Reset() {}
