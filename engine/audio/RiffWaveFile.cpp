// CRiffWaveFile: reading (and creating) RIFF WAVE files through the multimedia file services.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "ZqSound.h"

namespace {
const FOURCC kWave = mmioFOURCC('W', 'A', 'V', 'E');
const FOURCC kFmt = mmioFOURCC('f', 'm', 't', ' ');
const FOURCC kFact = mmioFOURCC('f', 'a', 'c', 't');
const FOURCC kData = mmioFOURCC('d', 'a', 't', 'a');
constexpr DWORD kModeRead = 1;

WAVEFORMATEX* NewFormat(WORD extra) {
  return static_cast<WAVEFORMATEX*>(std::calloc(1, sizeof(WAVEFORMATEX) + extra));
}
}  // namespace

CRiffWaveFile::CRiffWaveFile() = default;

CRiffWaveFile::~CRiffWaveFile() {
  Close();
  std::free(m_pwfx);
}

HRESULT CRiffWaveFile::Open(const char* name, const WAVEFORMATEX* format, DWORD mode) {
  Close();
  m_dwFlags = mode;
  if (mode == kModeRead) {
    if (!name) return E_INVALIDARG;
    std::free(m_pwfx);
    m_pwfx = nullptr;
    // The program carries no sound resources here, so only files are read.
    m_hmmio = mmioOpenA(const_cast<LPSTR>(name), nullptr, MMIO_ALLOCBUF | MMIO_READ);
    if (!m_hmmio) return E_FAIL;
    if (FAILED(ReadFormatChunk()) || FAILED(ResetFile())) {
      Close();
      return E_FAIL;
    }
    m_dwSize = m_ck.cksize;
    return S_OK;
  }

  if (!name || !format) return E_INVALIDARG;
  m_hmmio = mmioOpenA(const_cast<LPSTR>(name), nullptr, MMIO_ALLOCBUF | MMIO_READWRITE | MMIO_CREATE);
  if (!m_hmmio) return E_FAIL;
  if (FAILED(WriteFormatChunk(format)) || FAILED(ResetFile())) {
    mmioClose(m_hmmio, 0);
    m_hmmio = nullptr;
    return E_FAIL;
  }
  return S_OK;
}

HRESULT CRiffWaveFile::ReadFormatChunk() {
  std::free(m_pwfx);
  m_pwfx = nullptr;
  if (mmioDescend(m_hmmio, &m_ckRiff, nullptr, 0) != 0) return E_FAIL;
  if (m_ckRiff.ckid != FOURCC_RIFF || m_ckRiff.fccType != kWave) return E_FAIL;

  MMCKINFO ck{};
  ck.ckid = kFmt;
  if (mmioDescend(m_hmmio, &ck, &m_ckRiff, MMIO_FINDCHUNK) != 0) return E_FAIL;
  if (ck.cksize < sizeof(PCMWAVEFORMAT)) return E_FAIL;
  PCMWAVEFORMAT pcm;
  if (mmioRead(m_hmmio, reinterpret_cast<HPSTR>(&pcm), sizeof pcm) != (LONG)sizeof pcm) return E_FAIL;

  WORD extra = 0;
  if (pcm.wf.wFormatTag != WAVE_FORMAT_PCM && ck.cksize >= sizeof(WAVEFORMATEX)) {
    if (mmioRead(m_hmmio, reinterpret_cast<HPSTR>(&extra), sizeof extra) != (LONG)sizeof extra) return E_FAIL;
    // Extra bytes must lie inside the chunk.
    if (extra > ck.cksize - sizeof(WAVEFORMATEX)) return E_FAIL;
  }
  WAVEFORMATEX* wfx = NewFormat(extra);
  if (!wfx) return E_FAIL;
  std::memcpy(wfx, &pcm, sizeof pcm);
  wfx->cbSize = extra;
  if (extra && mmioRead(m_hmmio, reinterpret_cast<HPSTR>(wfx + 1), extra) != (LONG)extra) {
    std::free(wfx);
    return E_FAIL;
  }
  if (mmioAscend(m_hmmio, &ck, 0) != 0) {
    std::free(wfx);
    return E_FAIL;
  }
  m_pwfx = wfx;
  return S_OK;
}

HRESULT CRiffWaveFile::ResetFile() {
  if (!m_hmmio) return CO_E_NOTINITIALIZED;
  if (m_dwFlags == kModeRead) {
    if (mmioSeek(m_hmmio, (LONG)(m_ckRiff.dwDataOffset + sizeof(FOURCC)), SEEK_SET) == -1) return E_FAIL;
    m_ck = MMCKINFO{};
    m_ck.ckid = kData;
    if (mmioDescend(m_hmmio, &m_ck, &m_ckRiff, MMIO_FINDCHUNK) != 0) return E_FAIL;
    return S_OK;
  }
  m_ck = MMCKINFO{};
  m_ck.ckid = kData;
  if (mmioCreateChunk(m_hmmio, &m_ck, 0) != 0) return E_FAIL;
  if (mmioGetInfo(m_hmmio, &m_mmioinfoOut, 0) != 0) return E_FAIL;
  return S_OK;
}

HRESULT CRiffWaveFile::Read(BYTE* buffer, DWORD size, DWORD* read) {
  if (!buffer || !read) return E_INVALIDARG;
  *read = 0;
  if (!m_hmmio) return CO_E_NOTINITIALIZED;
  MMIOINFO info{};
  if (mmioGetInfo(m_hmmio, &info, 0) != 0) return E_FAIL;
  DWORD want = std::min(size, m_ck.cksize);
  HRESULT hr = S_OK;
  DWORD done = 0;
  while (done < want) {
    if (info.pchNext >= info.pchEndRead) {
      if (mmioAdvance(m_hmmio, &info, MMIO_READ) != 0 || info.pchNext >= info.pchEndRead) {
        hr = E_FAIL;  // the file ends before its data chunk does
        break;
      }
    }
    DWORD n = std::min<DWORD>(want - done, (DWORD)(info.pchEndRead - info.pchNext));
    std::memcpy(buffer + done, info.pchNext, n);
    info.pchNext += n;
    done += n;
  }
  m_ck.cksize -= done;
  *read = done;
  if (mmioSetInfo(m_hmmio, &info, 0) != 0) return E_FAIL;
  return hr;
}

HRESULT CRiffWaveFile::WriteFormatChunk(const WAVEFORMATEX* format) {
  std::free(m_pwfx);
  WORD extra = format->wFormatTag == WAVE_FORMAT_PCM ? 0 : format->cbSize;
  m_pwfx = NewFormat(extra);
  if (!m_pwfx) return E_FAIL;
  std::memcpy(m_pwfx, format, sizeof(WAVEFORMATEX) + extra);
  if (format->wFormatTag == WAVE_FORMAT_PCM) m_pwfx->cbSize = 0;

  m_ckRiff = MMCKINFO{};
  m_ckRiff.fccType = kWave;
  if (mmioCreateChunk(m_hmmio, &m_ckRiff, MMIO_CREATERIFF) != 0) return E_FAIL;

  MMCKINFO ck{};
  ck.ckid = kFmt;
  LONG fmtBytes = format->wFormatTag == WAVE_FORMAT_PCM ? (LONG)sizeof(PCMWAVEFORMAT)
                                                        : (LONG)(sizeof(WAVEFORMATEX) + extra);
  ck.cksize = (DWORD)fmtBytes;
  if (mmioCreateChunk(m_hmmio, &ck, 0) != 0) return E_FAIL;
  if (mmioWrite(m_hmmio, reinterpret_cast<const char*>(m_pwfx), fmtBytes) != fmtBytes) return E_FAIL;
  if (mmioAscend(m_hmmio, &ck, 0) != 0) return E_FAIL;

  ck = MMCKINFO{};
  ck.ckid = kFact;
  if (mmioCreateChunk(m_hmmio, &ck, 0) != 0) return E_FAIL;
  DWORD samples = (DWORD)-1;
  if (mmioWrite(m_hmmio, reinterpret_cast<const char*>(&samples), 4) != 4) return E_FAIL;
  if (mmioAscend(m_hmmio, &ck, 0) != 0) return E_FAIL;
  return S_OK;
}

HRESULT CRiffWaveFile::Close() {
  if (!m_hmmio) return S_OK;
  HRESULT hr = S_OK;
  if (m_dwFlags != kModeRead) {
    m_mmioinfoOut.dwFlags |= MMIO_DIRTY;
    if (mmioSetInfo(m_hmmio, &m_mmioinfoOut, 0) != 0) hr = E_FAIL;
    if (mmioAscend(m_hmmio, &m_ck, 0) != 0) hr = E_FAIL;
    if (mmioAscend(m_hmmio, &m_ckRiff, 0) != 0) hr = E_FAIL;
    mmioSeek(m_hmmio, 0, SEEK_SET);
    if (mmioDescend(m_hmmio, &m_ckRiff, nullptr, 0) == 0) {
      MMCKINFO ck{};
      ck.ckid = kFact;
      if (mmioDescend(m_hmmio, &ck, &m_ckRiff, MMIO_FINDCHUNK) == 0) {
        // The number of sample frames in "data".
        DWORD block = m_pwfx && m_pwfx->nBlockAlign ? m_pwfx->nBlockAlign : 1;
        DWORD samples = m_ck.cksize / block;
        mmioWrite(m_hmmio, reinterpret_cast<const char*>(&samples), 4);
        mmioAscend(m_hmmio, &ck, 0);
      }
      mmioAscend(m_hmmio, &m_ckRiff, 0);
    }
  }
  mmioClose(m_hmmio, 0);
  m_hmmio = nullptr;
  return hr;
}
