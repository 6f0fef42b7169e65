// DirectSound 8 (device, primary and secondary buffers, duplicates, 3D buffers, the listener) and
// the multimedia file services (mmio) for RIFF files, over OpenAL Soft.
//
// Playback state follows the process clock (timeGetTime), so it also advances on the manual clock
// of the tests. Without any audio device the objects still work and change state, silently.
#pragma once

#include "zqplatform/types.h"

// ---- wave formats -------------------------------------------------------------------------------
#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;  // extra format bytes that follow the structure
} WAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

typedef struct waveformat_tag {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
} WAVEFORMAT;

typedef struct pcmwaveformat_tag {
  WAVEFORMAT wf;
  WORD wBitsPerSample;
} PCMWAVEFORMAT;
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes");
static_assert(sizeof(PCMWAVEFORMAT) == 16, "PCMWAVEFORMAT is 16 bytes");

#define WAVE_FORMAT_PCM 1

// ---- DirectSound ----------------------------------------------------------------------------------
#define DS_OK ((HRESULT)0)
#define DSERR_ALLOCATED ((HRESULT)0x8878000A)
#define DSERR_CONTROLUNAVAIL ((HRESULT)0x8878001E)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL ((HRESULT)0x88780032)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED ((HRESULT)0x88780046)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT ((HRESULT)0x88780064)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER ((HRESULT)0x88780078)
#define DSERR_NOAGGREGATION ((HRESULT)0x80040110)
#define DSERR_BUFFERLOST ((HRESULT)0x88780096)
#define DSERR_UNINITIALIZED ((HRESULT)0x887800AA)
#define DSERR_NOINTERFACE E_NOINTERFACE
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0)

// Cooperative levels.
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

// Buffer capabilities.
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000

#define DSBPLAY_LOOPING 0x00000001

#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004

#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBVOLUME_MIN (-10000)
#define DSBVOLUME_MAX 0
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000

#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001

typedef struct _DSBUFFERDESC {
  DWORD dwSize;  // 36 (the description as the engine stores it), 20 without the algorithm, or sizeof
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
  GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

typedef struct _D3DVECTOR_DS {
  float x, y, z;
} DS3DVECTOR;

typedef const GUID* LPCGUID;

ZQPLAT_API extern const GUID IID_IDirectSound8;
ZQPLAT_API extern const GUID IID_IDirectSoundBuffer;
ZQPLAT_API extern const GUID IID_IDirectSoundBuffer8;
ZQPLAT_API extern const GUID IID_IDirectSound3DBuffer;
ZQPLAT_API extern const GUID IID_IDirectSound3DListener;
ZQPLAT_API extern const GUID DS3DALG_DEFAULT;  // the null GUID
ZQPLAT_API extern const GUID DS3DALG_NO_VIRTUALIZATION;
ZQPLAT_API extern const GUID DS3DALG_HRTF_FULL;
ZQPLAT_API extern const GUID DS3DALG_HRTF_LIGHT;

// A secondary buffer: the whole sound in memory, its own play position and state. Positions and
// sizes are in bytes; positions are rounded down to whole sample frames.
class IDirectSoundBuffer {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  // IID_IDirectSoundBuffer / 8 give the buffer itself; IID_IDirectSound3DBuffer needs
  // DSBCAPS_CTRL3D; IID_IDirectSound3DListener needs a primary buffer with DSBCAPS_CTRL3D.
  virtual HRESULT QueryInterface(REFIID iid, LPVOID* out) = 0;
  virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
  virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) = 0;
  virtual HRESULT GetVolume(LPLONG volume) = 0;
  virtual HRESULT GetStatus(LPDWORD status) = 0;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                       LPDWORD bytes2, DWORD flags) = 0;
  // Does not restart a playing buffer; the newest flags win.
  virtual HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) = 0;
  virtual HRESULT SetCurrentPosition(DWORD newPosition) = 0;
  virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
  // Hundredths of a decibel, DSBVOLUME_MIN (silent) .. DSBVOLUME_MAX; gain = 10^(v / 2000).
  virtual HRESULT SetVolume(LONG volume) = 0;
  // Keeps the position.
  virtual HRESULT Stop() = 0;
  virtual HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;
  virtual HRESULT Restore() = 0;

 protected:
  virtual ~IDirectSoundBuffer() = default;
};
class IDirectSoundBuffer8 : public IDirectSoundBuffer {
 protected:
  ~IDirectSoundBuffer8() override = default;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;
typedef IDirectSoundBuffer8* LPDIRECTSOUNDBUFFER8;

// The 3D side of a mono buffer with DSBCAPS_CTRL3D (shares the buffer's reference count).
// Coordinates are left-handed as in DirectSound (+z ahead of the default listener).
class IDirectSound3DBuffer {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT QueryInterface(REFIID iid, LPVOID* out) = 0;
  virtual HRESULT GetPosition(DS3DVECTOR* position) = 0;
  // DS3D_DEFERRED settings take effect at the listener's CommitDeferredSettings.
  virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;

 protected:
  virtual ~IDirectSound3DBuffer() = default;
};
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;

// The one listener of a device, reached through a primary buffer with DSBCAPS_CTRL3D.
class IDirectSound3DListener {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT QueryInterface(REFIID iid, LPVOID* out) = 0;
  virtual HRESULT GetPosition(DS3DVECTOR* position) = 0;
  virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;
  virtual HRESULT SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                 DWORD apply) = 0;
  virtual HRESULT CommitDeferredSettings() = 0;

 protected:
  virtual ~IDirectSound3DListener() = default;
};
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;

class IDirectSound8 {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;
  virtual HRESULT QueryInterface(REFIID iid, LPVOID* out) = 0;
  // Secondary buffers: PCM only (8-bit unsigned or 16-bit signed, mono or stereo, 100..200000 Hz),
  // DSBCAPS_CTRL3D only for mono. Primary buffers: no size, no format; SetFormat needs
  // DSSCL_PRIORITY or higher.
  virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, void* outer) = 0;
  // Shares the sample data; the duplicate has its own position (0), state (stopped) and volume.
  virtual HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) = 0;
  // With a level below DSSCL_WRITEPRIMARY every buffer falls silent while the application is
  // inactive (they keep playing inaudibly) and is heard again when it becomes active.
  virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD level) = 0;

 protected:
  virtual ~IDirectSound8() = default;
};
typedef IDirectSound8* LPDIRECTSOUND8;

// deviceGuid null (or the null GUID): the default output. Never fails for want of an audio
// device: the object then runs silent.
ZQPLAT_API HRESULT DirectSoundCreate8(LPCGUID deviceGuid, LPDIRECTSOUND8* out, void* outer);

// Tests: the gain the mixer applies to a buffer right now (its volume, the activation silence),
// or -1 when the buffer is not sounding (stopped, or no audio device).
ZQPLAT_API float zqSoundBufferGain(LPDIRECTSOUNDBUFFER buffer);

// ---- multimedia file I/O (RIFF) --------------------------------------------------------------------
#ifndef ZQ_MMRESULT_DEFINED
#define ZQ_MMRESULT_DEFINED
typedef UINT MMRESULT;
#endif
typedef DWORD FOURCC;
typedef char* HPSTR;
ZQ_DECLARE_HANDLE(HMMIO);
typedef LRESULT(CALLBACK* LPMMIOPROC)(LPSTR info, UINT msg, LPARAM param1, LPARAM param2);

#define mmioFOURCC(c0, c1, c2, c3) \
  ((DWORD)(BYTE)(c0) | ((DWORD)(BYTE)(c1) << 8) | ((DWORD)(BYTE)(c2) << 16) | ((DWORD)(BYTE)(c3) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')
#define FOURCC_DOS mmioFOURCC('D', 'O', 'S', ' ')
#define FOURCC_MEM mmioFOURCC('M', 'E', 'M', ' ')

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NOMEM 7
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11

#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND (MMIOERR_BASE + 1)
#define MMIOERR_OUTOFMEMORY (MMIOERR_BASE + 2)
#define MMIOERR_CANNOTOPEN (MMIOERR_BASE + 3)
#define MMIOERR_CANNOTCLOSE (MMIOERR_BASE + 4)
#define MMIOERR_CANNOTREAD (MMIOERR_BASE + 5)
#define MMIOERR_CANNOTWRITE (MMIOERR_BASE + 6)
#define MMIOERR_CANNOTSEEK (MMIOERR_BASE + 7)
#define MMIOERR_CANNOTEXPAND (MMIOERR_BASE + 8)
#define MMIOERR_CHUNKNOTFOUND (MMIOERR_BASE + 9)
#define MMIOERR_UNBUFFERED (MMIOERR_BASE + 10)

#define MMIO_READ 0x00000000
#define MMIO_WRITE 0x00000001
#define MMIO_READWRITE 0x00000002
#define MMIO_CREATE 0x00001000
#define MMIO_EXIST 0x00004000
#define MMIO_ALLOCBUF 0x00010000
#define MMIO_DIRTY 0x10000000
#define MMIO_FINDCHUNK 0x0010
#define MMIO_FINDRIFF 0x0020
#define MMIO_FINDLIST 0x0040
#define MMIO_CREATERIFF 0x0020
#define MMIO_CREATELIST 0x0040
#define MMIO_EMPTYBUF 0x0010
#define MMIO_DEFAULTBUFFER 8192

#ifndef SEEK_SET
#define SEEK_SET 0
#define SEEK_CUR 1
#define SEEK_END 2
#endif

typedef struct _MMIOINFO {
  DWORD dwFlags;
  FOURCC fccIOProc;    // FOURCC_MEM: a memory file (pchBuffer / cchBuffer, or allocated)
  LPMMIOPROC pIOProc;  // custom procedures are not supported
  UINT wErrorRet;
  HANDLE htask;
  LONG cchBuffer;
  HPSTR pchBuffer;
  HPSTR pchNext;      // next byte to read or write in the buffer
  HPSTR pchEndRead;   // end of the valid bytes in the buffer
  HPSTR pchEndWrite;  // end of the buffer
  LONG lBufOffset;    // file offset of pchBuffer
  LONG lDiskOffset;
  DWORD adwInfo[3];  // memory files: adwInfo[0] is the growth step (0: the file cannot grow)
  DWORD dwReserved1;
  DWORD dwReserved2;
  HMMIO hmmio;
} MMIOINFO, *LPMMIOINFO;
typedef const MMIOINFO* LPCMMIOINFO;

typedef struct _MMCKINFO {
  FOURCC ckid;
  DWORD cksize;
  FOURCC fccType;      // RIFF and LIST chunks
  DWORD dwDataOffset;  // offset of the data (of the form type for RIFF and LIST)
  DWORD dwFlags;       // MMIO_DIRTY: created here, the size is fixed on ascent
} MMCKINFO, *LPMMCKINFO;
typedef const MMCKINFO* LPCMMCKINFO;

// Opens a file (Windows-style path) or, with info->fccIOProc FOURCC_MEM and a null name, a memory
// file. Failure: null, with the reason in info->wErrorRet when info is given.
ZQPLAT_API HMMIO mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD openFlags);
ZQPLAT_API MMRESULT mmioClose(HMMIO h, UINT flags);
ZQPLAT_API LONG mmioRead(HMMIO h, HPSTR buffer, LONG count);
ZQPLAT_API LONG mmioWrite(HMMIO h, const char* buffer, LONG count);
ZQPLAT_API LONG mmioSeek(HMMIO h, LONG offset, int origin);
ZQPLAT_API MMRESULT mmioGetInfo(HMMIO h, LPMMIOINFO info, UINT flags);
ZQPLAT_API MMRESULT mmioSetInfo(HMMIO h, LPCMMIOINFO info, UINT flags);
// flags MMIO_READ refills the buffer from the file, MMIO_WRITE writes a dirty buffer out first.
ZQPLAT_API MMRESULT mmioAdvance(HMMIO h, LPMMIOINFO info, UINT flags);
ZQPLAT_API MMRESULT mmioFlush(HMMIO h, UINT flags);
// Chunks are word-aligned. A search (MMIO_FINDCHUNK / FINDRIFF / FINDLIST) stays within parent.
ZQPLAT_API MMRESULT mmioDescend(HMMIO h, LPMMCKINFO ck, LPCMMCKINFO parent, UINT flags);
ZQPLAT_API MMRESULT mmioAscend(HMMIO h, LPMMCKINFO ck, UINT flags);
ZQPLAT_API MMRESULT mmioCreateChunk(HMMIO h, LPMMCKINFO ck, UINT flags);
ZQPLAT_API FOURCC mmioStringToFOURCCA(LPCSTR text, UINT flags);
