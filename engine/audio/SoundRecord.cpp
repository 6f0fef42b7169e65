// The sound record "ZQSB2003a": a 16-byte signature, the 36-byte buffer description and the
// buffer's bytes. The record stores no wave format: its format field is written as 0 and never
// read; the reader plays it as 22050 Hz 16-bit PCM, mono when the description asks for 3D.
#include <cstring>

#include "ZqSound.h"
#include "common/LittleEndian.h"

namespace {

using zqle::GetU16;
using zqle::GetU32;
using zqle::PutU16;
using zqle::PutU32;

constexpr size_t kSignatureSize = 16;
constexpr size_t kDescSize = 36;
constexpr size_t kHeaderSize = kSignatureSize + kDescSize;
static_assert(kHeaderSize == 52, "sound data starts at 52");

}  // namespace

long CZqSound::Import(SStreamBuf& stream) {
  char signature[kSignatureSize];
  if (CZqFunc::ZQFBUF_Set(stream, 0) != 0) return E_FAIL;
  if (CZqFunc::ZQFBUF_Read(signature, 1, kSignatureSize, stream) != kSignatureSize ||
      std::memcmp(signature, "ZQSB", 4) != 0)
    return E_FAIL;
  BYTE d[kDescSize];
  if (CZqFunc::ZQFBUF_Read(d, 1, kDescSize, stream) != kDescSize) return E_FAIL;
  DWORD bytes = GetU32(d + 8);
  // Never trust the stored size beyond what the file holds.
  long at = CZqFunc::ZQFBUF_Tell(stream);
  if (at < 0 || at > stream.m_nSize || bytes > (DWORD)(stream.m_nSize - at)) return E_FAIL;

  if (m_pBuffer) m_pBuffer->Release();
  m_pBuffer = nullptr;
  m_desc = DSBUFFERDESC{};
  m_desc.dwSize = GetU32(d);
  m_desc.dwFlags = GetU32(d + 4);
  m_desc.dwBufferBytes = bytes;
  m_desc.dwReserved = GetU32(d + 12);
  m_desc.guid3DAlgorithm.Data1 = GetU32(d + 20);
  m_desc.guid3DAlgorithm.Data2 = GetU16(d + 24);
  m_desc.guid3DAlgorithm.Data3 = GetU16(d + 26);
  std::memcpy(m_desc.guid3DAlgorithm.Data4, d + 28, 8);
  m_dwSize = bytes;

  WAVEFORMATEX wfx{};
  wfx.wFormatTag = WAVE_FORMAT_PCM;
  wfx.nChannels = (m_desc.dwFlags & DSBCAPS_CTRL3D) ? 1 : 2;
  wfx.nSamplesPerSec = 22050;
  wfx.wBitsPerSample = 16;
  wfx.nBlockAlign = (WORD)(wfx.nChannels * 2);
  wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
  HRESULT hr = CreateBuffer(&wfx);
  if (FAILED(hr)) return hr;

  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  hr = m_pBuffer->Lock(0, bytes, &p1, &n1, &p2, &n2, 0);
  if (FAILED(hr)) {
    m_pBuffer->Release();
    m_pBuffer = nullptr;
    return hr;
  }
  size_t got = CZqFunc::ZQFBUF_Read(p1, 1, n1, stream);
  if (got < n1) std::memset(static_cast<BYTE*>(p1) + got, 0, n1 - got);
  m_pBuffer->Unlock(p1, n1, p2, n2);
  Query3D();
  return 0;
}

unsigned long CZqSound::Export(const char* path) {
  SStreamBuf stream = CZqFunc::ZQFBUF_Create(path, "wb");
  if (!stream.m_pFile) return 0;
  unsigned long written = Export(stream);
  CZqFunc::ZQFBUF_Close(stream);
  return written;
}

unsigned long CZqSound::Export(SStreamBuf& stream) {
  if (!m_pBuffer) return 0;
  void* p1 = nullptr;
  void* p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(m_pBuffer->Lock(0, m_dwSize, &p1, &n1, &p2, &n2, 0))) return 0;

  BYTE header[kHeaderSize] = {};
  std::memcpy(header, ZQ_SOUND_RECORD_SIGNATURE, sizeof ZQ_SOUND_RECORD_SIGNATURE);
  BYTE* d = header + kSignatureSize;
  PutU32(d, 36);
  PutU32(d + 4, m_desc.dwFlags);
  PutU32(d + 8, n1 + n2);  // always the bytes that follow
  PutU32(d + 12, m_desc.dwReserved);
  PutU32(d + 16, 0);  // the writer's format pointer has no meaning in a file
  PutU32(d + 20, m_desc.guid3DAlgorithm.Data1);
  PutU16(d + 24, m_desc.guid3DAlgorithm.Data2);
  PutU16(d + 26, m_desc.guid3DAlgorithm.Data3);
  std::memcpy(d + 28, m_desc.guid3DAlgorithm.Data4, 8);

  unsigned long written = 0;
  if (CZqFunc::ZQFBUF_Set(stream, 0) == 0 &&
      CZqFunc::ZQFBUF_Write(header, 1, kHeaderSize, stream) == kHeaderSize) {
    written = 2 + CZqFunc::ZQFBUF_Write(p1, 1, n1, stream);
    if (p2 && n2) written += CZqFunc::ZQFBUF_Write(p2, 1, n2, stream);
  }
  m_pBuffer->Unlock(p1, n1, p2, n2);
  return written;
}
