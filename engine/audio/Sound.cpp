// CZqSound: loading by name, WAVE input and playback.
#include "ZqSound.h"

#include <cstring>

#include "ZqEngine.h"
#include "ZqSource.h"

namespace {
// The 3D algorithm of mono PCM buffers.
const GUID kHrtfFull = {0xC2413340, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};
}  // namespace

CZqSound::CZqSound(CZqEngine* engine) : m_pEngine(engine) {}

CZqSound::~CZqSound() {
  if (m_pEngine) m_pEngine->_ForgetSound(this);
  Cleanup();
}

void CZqSound::Cleanup() {
  m_dwPoolFlags = 0;
  m_strKey.clear();
  if (m_pBuffer) m_pBuffer->Release();
  m_pBuffer = nullptr;
  if (m_p3DBuffer) m_p3DBuffer->Release();
  m_p3DBuffer = nullptr;
  m_desc = DSBUFFERDESC{};
  m_dwSize = 0;
}

int CZqSound::SetStreamSource(const char* name) {
  Cleanup();
  if (!name) return 0;
  m_strKey = name;
  std::string path = name;
  if (sFileInfo* info = m_pEngine ? m_pEngine->FindSource(name) : nullptr) {
    if (info->m_type != FFT_WAV) return 0;
    path = info->m_szFile;
  }
  return Import(path.c_str()) >= 0 ? 1 : 0;
}

long CZqSound::Import(const char* path) {
  SStreamBuf stream = CZqFunc::ZQFBUF_Create(path, "rb");
  // A file that does not open is a failure: the WAVE reader reports it.
  if (!stream.m_pFile) return CreateFromWaveFile(path);
  long hr = Import(stream);
  CZqFunc::ZQFBUF_Close(stream);
  if (hr < 0) hr = CreateFromWaveFile(path);
  return hr;
}

long CZqSound::CreateBuffer(const WAVEFORMATEX* format) {
  LPDIRECTSOUND8 ds = m_pEngine ? m_pEngine->GetDirectSound() : nullptr;
  if (!ds) return CO_E_NOTINITIALIZED;
  m_desc.lpwfxFormat = const_cast<WAVEFORMATEX*>(format);
  HRESULT hr = ds->CreateSoundBuffer(&m_desc, &m_pBuffer, nullptr);
  m_desc.lpwfxFormat = nullptr;  // the format does not outlive the load
  if (FAILED(hr)) m_pBuffer = nullptr;
  return hr;
}

void CZqSound::Query3D() {
  void* out = nullptr;
  if (m_pBuffer && SUCCEEDED(m_pBuffer->QueryInterface(IID_IDirectSound3DBuffer, &out)))
    m_p3DBuffer = static_cast<LPDIRECTSOUND3DBUFFER>(out);
  else
    m_p3DBuffer = nullptr;
}

long CZqSound::CreateFromWaveFile(const char* name) {
  CRiffWaveFile wave;
  HRESULT hr = wave.Open(name, nullptr, 1);
  if (FAILED(hr)) return hr;
  DWORD dataSize = wave.GetSize();
  const WAVEFORMATEX* wfx = wave.GetFormat();
  if (dataSize == 0 || !wfx) return E_FAIL;

  if (m_pBuffer) m_pBuffer->Release();  // a record that failed half-way
  m_pBuffer = nullptr;
  m_desc = DSBUFFERDESC{};
  m_desc.dwSize = 36;
  m_desc.dwBufferBytes = dataSize;
  if (wfx->wFormatTag == WAVE_FORMAT_PCM && wfx->nChannels <= 1) {
    m_desc.dwFlags = DSBCAPS_CTRL3D;
    m_desc.guid3DAlgorithm = kHrtfFull;
  }
  m_dwSize = dataSize;
  hr = CreateBuffer(wfx);
  if (FAILED(hr)) return hr;

  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  hr = m_pBuffer->Lock(0, dataSize, &p1, &n1, &p2, &n2, 0);
  if (FAILED(hr)) return hr;
  wave.ResetFile();
  DWORD got = 0;
  wave.Read(static_cast<BYTE*>(p1), n1, &got);
  if (got < n1) {
    // A data chunk longer than the bytes stored: the rest is silence.
    std::memset(static_cast<BYTE*>(p1) + got, wfx->wBitsPerSample == 8 ? 0x80 : 0, n1 - got);
  }
  m_pBuffer->Unlock(p1, n1, p2, n2);
  Query3D();
  return 0;
}

long CZqSound::Play() { return m_pBuffer ? m_pBuffer->Play(0, 0, 0) : 0; }

long CZqSound::PlayLoop() { return m_pBuffer ? m_pBuffer->Play(0, 0, DSBPLAY_LOOPING) : 0; }

long CZqSound::Stop() { return m_pBuffer ? m_pBuffer->Stop() : 0; }

long CZqSound::Reset() { return m_pBuffer ? m_pBuffer->SetCurrentPosition(0) : 0; }

long CZqSound::SetPos(float fraction) {
  if (!m_pBuffer) return 0;
  double at = (double)((float)m_dwSize * fraction);
  if (!(at >= 0.0)) at = 0.0;  // negative or NaN fractions must not wrap around
  if (at > 4294967295.0) at = 4294967295.0;
  return m_pBuffer->SetCurrentPosition((DWORD)at);
}

void CZqSound::Set3D(float x, float y, float z) {
  if (m_p3DBuffer) m_p3DBuffer->SetPosition(x, y, z, DS3D_DEFERRED);
}

int CZqSound::IsPlaying() {
  if (!m_pBuffer) return 0;
  DWORD status = 0;
  if (FAILED(m_pBuffer->GetStatus(&status))) return 0;
  return (status & DSBSTATUS_PLAYING) ? 1 : 0;
}
