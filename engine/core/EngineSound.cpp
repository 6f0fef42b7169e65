// CZqEngine sound device: DirectSound, the primary format and the 3D listener.
#include <cstring>

#include "ZqEngine.h"

long CZqEngine::_CreateSoundSystem() {
  LPDIRECTSOUND8 ds = nullptr;
  HRESULT hr = DirectSoundCreate8(nullptr, &ds, nullptr);
  if (FAILED(hr)) return hr;
  if (!ds) return CO_E_NOTINITIALIZED;
  m_pDS = ds;
  hr = m_pDS->SetCooperativeLevel(m_hWnd, DSSCL_PRIORITY);
  if (FAILED(hr)) return hr;

  DSBUFFERDESC desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  LPDIRECTSOUNDBUFFER primary = nullptr;
  hr = m_pDS->CreateSoundBuffer(&desc, &primary, nullptr);
  if (FAILED(hr)) return hr;
  WAVEFORMATEX wf;
  std::memset(&wf, 0, sizeof wf);
  wf.wFormatTag = WAVE_FORMAT_PCM;
  wf.nChannels = 2;
  wf.nSamplesPerSec = 22050;
  wf.wBitsPerSample = 16;
  wf.nBlockAlign = 4;
  wf.nAvgBytesPerSec = 88200;
  hr = primary->SetFormat(&wf);
  primary->Release();
  if (FAILED(hr)) return hr;

  desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
  hr = m_pDS->CreateSoundBuffer(&desc, &primary, nullptr);
  if (FAILED(hr)) return hr;
  hr = primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<LPVOID*>(&m_pListener));
  primary->Release();
  return hr;
}

void CZqEngine::_ReleaseSoundSystem() {
  if (m_pListener) m_pListener->Release();
  m_pListener = nullptr;
  if (m_pDS) m_pDS->Release();
  m_pDS = nullptr;
}
