// The DirectSound device object, the primary buffer and the listener.
#include <cstring>

#include "audio/direct_sound_impl.h"

// {C50A7E93-F395-4834-9EF6-7FA99DE50966}
const GUID IID_IDirectSound8 = {0xC50A7E93, 0xF395, 0x4834, {0x9E, 0xF6, 0x7F, 0xA9, 0x9D, 0xE5, 0x09, 0x66}};
const GUID IID_IDirectSoundBuffer = {
    0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID IID_IDirectSoundBuffer8 = {
    0x6825A449, 0x7524, 0x4D82, {0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E}};
const GUID IID_IDirectSound3DBuffer = {
    0x279AFA86, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID IID_IDirectSound3DListener = {
    0x279AFA84, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID DS3DALG_DEFAULT = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const GUID DS3DALG_NO_VIRTUALIZATION = {
    0xC241333F, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};
const GUID DS3DALG_HRTF_FULL = {0xC2413340, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};
const GUID DS3DALG_HRTF_LIGHT = {
    0xC2413342, 0x1C1B, 0x11D2, {0x94, 0xF5, 0x00, 0xC0, 0x4F, 0xC2, 0x8A, 0xCA}};

namespace zqaudio {

bool SameGuid(const GUID& a, const GUID& b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

DeviceState::DeviceState() : out(AlOutput::Acquire()) { ApplyListener(); }

DeviceState::~DeviceState() { AlOutput::ReleaseRef(); }

void DeviceState::ApplyListener() {
  if (!out || !out->HasDevice()) return;
  // DirectSound's axes are left-handed: z is negated for OpenAL.
  alListener3f(AL_POSITION, listenerPos.x, listenerPos.y, -listenerPos.z);
  ALfloat orient[6] = {listenerFront.x, listenerFront.y, -listenerFront.z,
                       listenerTop.x,   listenerTop.y,   -listenerTop.z};
  alListenerfv(AL_ORIENTATION, orient);
}

void DeviceState::CommitDeferred() {
  if (pendingListenerPos) listenerPos = pendingPos;
  if (pendingOrientation) {
    listenerFront = pendingFront;
    listenerTop = pendingTop;
  }
  if (pendingListenerPos || pendingOrientation) ApplyListener();
  pendingListenerPos = pendingOrientation = false;
  for (SoundBuffer* b : buffers) b->ApplyPending3D();
}

namespace {

class DirectSound final : public IDirectSound8 {
 public:
  DirectSound() : dev_(std::make_shared<DeviceState>()) {}
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT QueryInterface(REFIID iid, LPVOID* out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!SameGuid(iid, IID_IDirectSound8)) return E_NOINTERFACE;
    *out = static_cast<IDirectSound8*>(this);
    AddRef();
    return S_OK;
  }

  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, void* outer) override {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (outer) return DSERR_NOAGGREGATION;
    if (!desc) return DSERR_INVALIDPARAM;
    // 36 and 20 are the two description sizes of 32-bit callers, as stored in sound records.
    if (desc->dwSize != 36 && desc->dwSize != 20 && desc->dwSize != sizeof(DSBUFFERDESC))
      return DSERR_INVALIDPARAM;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
      if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
      *buffer = new PrimaryBuffer(dev_, desc->dwFlags);
      return DS_OK;
    }
    if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX) return DSERR_INVALIDPARAM;
    HRESULT hr = CheckPcmFormat(desc->lpwfxFormat);
    if (FAILED(hr)) return hr;
    if ((desc->dwFlags & DSBCAPS_CTRL3D) && desc->lpwfxFormat->nChannels != 1) return DSERR_INVALIDPARAM;
    auto data = std::make_shared<SoundData>();
    data->format = *desc->lpwfxFormat;
    data->format.cbSize = 0;
    try {
      data->bytes.assign(desc->dwBufferBytes, data->format.wBitsPerSample == 8 ? 0x80 : 0x00);
    } catch (const std::bad_alloc&) {
      return DSERR_OUTOFMEMORY;
    }
    *buffer = new SoundBuffer(dev_, desc->dwFlags, std::move(data));
    return DS_OK;
  }

  HRESULT DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPDIRECTSOUNDBUFFER* duplicate) override {
    if (!duplicate) return DSERR_INVALIDPARAM;
    *duplicate = nullptr;
    auto* src = dynamic_cast<SoundBuffer*>(original);
    if (!src) return original ? DSERR_INVALIDCALL : DSERR_INVALIDPARAM;  // primaries cannot be
    *duplicate = src->Duplicate();
    return DS_OK;
  }

  HRESULT SetCooperativeLevel(HWND hwnd, DWORD level) override {
    if (!hwnd || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
    dev_->hwnd = hwnd;
    dev_->level = level;
    return DS_OK;
  }

 private:
  ~DirectSound() override = default;
  std::shared_ptr<DeviceState> dev_;
  ULONG refs_ = 1;
};

}  // namespace

ULONG PrimaryBuffer::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT PrimaryBuffer::QueryInterface(REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (SameGuid(iid, IID_IDirectSoundBuffer) || SameGuid(iid, IID_IDirectSoundBuffer8)) {
    *out = static_cast<IDirectSoundBuffer8*>(this);
  } else if (SameGuid(iid, IID_IDirectSound3DListener) && (flags_ & DSBCAPS_CTRL3D)) {
    *out = &listener_;
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT PrimaryBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
  if (playCursor) *playCursor = 0;
  if (writeCursor) *writeCursor = 0;
  return DS_OK;
}

HRESULT PrimaryBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) {
  if (!format && !sizeWritten) return DSERR_INVALIDPARAM;
  if (format) {
    if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
    *format = dev_->primaryFormat;
  }
  if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
  return DS_OK;
}

HRESULT PrimaryBuffer::GetVolume(LPLONG volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  *volume = volume_;
  return DS_OK;
}

HRESULT PrimaryBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  *status = DSBSTATUS_PLAYING | DSBSTATUS_LOOPING;  // the mixer always runs
  return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(LPCWAVEFORMATEX format) {
  if (dev_->level < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  HRESULT hr = CheckPcmFormat(format);
  if (FAILED(hr)) return hr;
  // OpenAL mixes at the device's own rate; the format is kept for GetFormat.
  dev_->primaryFormat = *format;
  dev_->primaryFormat.cbSize = 0;
  return DS_OK;
}

HRESULT PrimaryBuffer::SetVolume(LONG volume) {
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  volume_ = volume;
  return DS_OK;
}

HRESULT PrimaryBuffer::Listener::GetPosition(DS3DVECTOR* position) {
  if (!position) return DSERR_INVALIDPARAM;
  const Vec3& p = owner_->dev_->listenerPos;
  *position = {p.x, p.y, p.z};
  return DS_OK;
}

HRESULT PrimaryBuffer::Listener::SetPosition(float x, float y, float z, DWORD apply) {
  DeviceState& d = *owner_->dev_;
  if (apply == DS3D_DEFERRED) {
    d.pendingPos = {x, y, z};
    d.pendingListenerPos = true;
  } else {
    d.listenerPos = {x, y, z};
    d.ApplyListener();
  }
  return DS_OK;
}

HRESULT PrimaryBuffer::Listener::SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz,
                                                DWORD apply) {
  DeviceState& d = *owner_->dev_;
  if (apply == DS3D_DEFERRED) {
    d.pendingFront = {fx, fy, fz};
    d.pendingTop = {tx, ty, tz};
    d.pendingOrientation = true;
  } else {
    d.listenerFront = {fx, fy, fz};
    d.listenerTop = {tx, ty, tz};
    d.ApplyListener();
  }
  return DS_OK;
}

HRESULT PrimaryBuffer::Listener::CommitDeferredSettings() {
  owner_->dev_->CommitDeferred();
  return DS_OK;
}

}  // namespace zqaudio

HRESULT DirectSoundCreate8(LPCGUID deviceGuid, LPDIRECTSOUND8* out, void* outer) {
  if (!out) return DSERR_INVALIDPARAM;
  *out = nullptr;
  if (outer) return DSERR_NOAGGREGATION;
  if (deviceGuid && !zqaudio::SameGuid(*deviceGuid, DS3DALG_DEFAULT)) return DSERR_NODRIVER;
  *out = new zqaudio::DirectSound();
  return DS_OK;
}

float zqSoundBufferGain(LPDIRECTSOUNDBUFFER buffer) {
  auto* b = dynamic_cast<zqaudio::SoundBuffer*>(buffer);
  return b ? b->SoundingGain() : -1.0f;
}
