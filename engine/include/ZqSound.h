// Sounds (CZqSound: one DirectSound buffer holding a whole sound) and the RIFF WAVE reader and
// writer (CRiffWaveFile).
#pragma once

#include <string>

#include "ZqDefs.h"
#include "ZqFunc.h"
#include "zqplatform/audio.h"

class CZqEngine;

// Signature of the engine's sound record; readers test only its first four bytes.
#define ZQ_SOUND_RECORD_SIGNATURE "ZQSB2003a"

// A sound loaded by name from a pack entry of type 6, a "ZQSB2003a" record or a RIFF WAVE file.
// The engine's registry (CZqEngine::FindSound) hands out duplicates sharing one buffer's data.
class ZQ_API CZqSound {
 public:
  explicit CZqSound(CZqEngine* engine);
  virtual void Cleanup();
  virtual ~CZqSound();

  // 1 loaded, 0 failed.
  int SetStreamSource(const char* name);
  // A sound record, else (on a negative status) the same path read as WAVE.
  long Import(const char* path);
  // A sound record at the stream's base offset.
  long Import(SStreamBuf& stream);
  long CreateFromWaveFile(const char* name);
  // 0 when the file cannot be created or the buffer cannot be locked, else 2 + data bytes.
  unsigned long Export(const char* path);
  unsigned long Export(SStreamBuf& stream);

  long Play();
  long PlayLoop();
  long Stop();   // keeps the position
  long Reset();  // back to the start
  long SetPos(float fraction);
  void Set3D(float x, float y, float z);
  int IsPlaying();

  void SetReserve() { m_dwPoolFlags |= 1; }
  int IsFree() { return (m_dwPoolFlags & 1) ? 0 : !IsPlaying(); }
  void SetSound(char*) {}
  const char* GetKey() const { return m_strKey.c_str(); }
  LPDIRECTSOUNDBUFFER GetSoundBuffer() const { return m_pBuffer; }
  LPDIRECTSOUND3DBUFFER GetSoundBuffer3D() const { return m_p3DBuffer; }
  unsigned long GetSize() const { return m_dwSize; }

  CZqSound(const CZqSound&) = delete;
  CZqSound& operator=(const CZqSound&) = delete;

 protected:
  friend class CZqEngine;  // the registry fills in duplicates

  long CreateBuffer(const WAVEFORMATEX* format);
  void Query3D();

  std::string m_strKey;
  LPDIRECTSOUNDBUFFER m_pBuffer = nullptr;
  LPDIRECTSOUND3DBUFFER m_p3DBuffer = nullptr;
  DWORD m_dwSize = 0;
  DSBUFFERDESC m_desc{};
  DWORD m_dwPoolFlags = 0;  // bit 0: reserved
  CZqEngine* m_pEngine;
};

// RIFF WAVE files over the multimedia file services. Mode 1 reads, any other mode writes.
class ZQ_API CRiffWaveFile {
 public:
  CRiffWaveFile();
  virtual ~CRiffWaveFile();

  HRESULT Open(const char* name, const WAVEFORMATEX* format, DWORD mode);
  HRESULT Close();
  HRESULT Read(BYTE* buffer, DWORD size, DWORD* read);
  DWORD GetSize() const { return m_dwSize; }
  HRESULT ResetFile();
  // The format read from the file (null until read); 18 bytes plus its extra bytes.
  const WAVEFORMATEX* GetFormat() const { return m_pwfx; }

  CRiffWaveFile(const CRiffWaveFile&) = delete;
  CRiffWaveFile& operator=(const CRiffWaveFile&) = delete;

 protected:
  HRESULT ReadFormatChunk();
  HRESULT WriteFormatChunk(const WAVEFORMATEX* format);

  WAVEFORMATEX* m_pwfx = nullptr;
  HMMIO m_hmmio = nullptr;
  MMCKINFO m_ck{};  // the "data" chunk; while reading, cksize counts the bytes not yet read
  MMCKINFO m_ckRiff{};
  DWORD m_dwSize = 0;
  MMIOINFO m_mmioinfoOut{};
  DWORD m_dwFlags = 0;  // 1 = reading
};
