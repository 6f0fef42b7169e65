// CZqTask: the default task does nothing and is inactive until told otherwise.
#include "ZqApp.h"

CZqTask::CZqTask() : m_bActive(0), m_bReady(0) {}
CZqTask::~CZqTask() {}
void CZqTask::Cleanup() {}
void CZqTask::OnLoop(DWORD) {}
int CZqTask::InitTask() { return 1; }
long CZqTask::MsgProc(UINT, WPARAM, LPARAM) { return 0; }
void CZqTask::SetActive(int active) { m_bActive = active; }
