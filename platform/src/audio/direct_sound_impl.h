// The DirectSound objects: the device state shared by a device and its buffers, secondary buffers
// (with their 3D face) and the primary buffer (with the listener face).
#pragma once

#include <memory>
#include <vector>

#include "audio/al_output.h"
#include "zqplatform/audio.h"

namespace zqaudio {

bool SameGuid(const GUID& a, const GUID& b);
// Gain for hundredths of a decibel.
float VolumeToGain(LONG volume);
// Checks a secondary buffer's PCM format; DS_OK or DSERR_BADFORMAT.
HRESULT CheckPcmFormat(const WAVEFORMATEX* wf);

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

class SoundBuffer;

// A face of an owner (a buffer's 3D side, a primary buffer's listener) has no life of its own:
// its reference count and its interfaces are the owner's.
template <class Face, class Owner>
class OwnedFace : public Face {
 public:
  explicit OwnedFace(Owner* owner) : owner_(owner) {}
  ULONG AddRef() override { return owner_->AddRef(); }
  ULONG Release() override { return owner_->Release(); }
  HRESULT QueryInterface(REFIID iid, LPVOID* out) override { return owner_->QueryInterface(iid, out); }

 protected:
  Owner* owner_;
};

// What a device and all its buffers share; outlives the device object while buffers exist.
struct DeviceState {
  DeviceState();
  ~DeviceState();
  DeviceState(const DeviceState&) = delete;
  DeviceState& operator=(const DeviceState&) = delete;

  AlOutput* out;
  HWND hwnd = nullptr;
  DWORD level = 0;
  WAVEFORMATEX primaryFormat{WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
  std::vector<SoundBuffer*> buffers;  // for committing deferred 3D settings
  // The listener: applied and pending settings (DirectSound axes).
  Vec3 listenerPos, listenerFront{0, 0, 1}, listenerTop{0, 1, 0};
  Vec3 pendingPos, pendingFront, pendingTop;
  bool pendingListenerPos = false, pendingOrientation = false;
  void ApplyListener();
  void CommitDeferred();
};

// Sample data shared by a buffer and its duplicates.
struct SoundData {
  std::vector<uint8_t> bytes;
  WAVEFORMATEX format{};
  std::shared_ptr<AlBuffer> al;  // uploaded copy; stale while dirty
  bool dirty = true;
  // Bytes that form whole sample frames (what can play).
  DWORD PlayableBytes() const {
    return static_cast<DWORD>(bytes.size() / format.nBlockAlign * format.nBlockAlign);
  }
};

class SoundBuffer final : public IDirectSoundBuffer8, public Voice {
 public:
  SoundBuffer(std::shared_ptr<DeviceState> dev, DWORD flags, std::shared_ptr<SoundData> data);
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT QueryInterface(REFIID iid, LPVOID* out) override;
  HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
  HRESULT GetVolume(LPLONG volume) override;
  HRESULT GetStatus(LPDWORD status) override;
  HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
               DWORD flags) override;
  HRESULT Play(DWORD reserved1, DWORD priority, DWORD flags) override;
  HRESULT SetCurrentPosition(DWORD newPosition) override;
  HRESULT SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT Stop() override;
  HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override;
  HRESULT Restore() override;

  void Sync() override;
  void RefreshGain() override;

  // A new buffer on the same data (own position, state; the volume is copied).
  SoundBuffer* Duplicate();
  float CurrentGain() const;
  float SoundingGain();  // what the mixer applies now; -1 when not sounding
  void ApplyPending3D();

 private:
  class Face3D final : public OwnedFace<IDirectSound3DBuffer, SoundBuffer> {
   public:
    using OwnedFace::OwnedFace;
    HRESULT GetPosition(DS3DVECTOR* position) override;
    HRESULT SetPosition(float x, float y, float z, DWORD apply) override;
  };

  ~SoundBuffer() override;
  DWORD PositionNow(DWORD now, bool* ended) const;
  void StartSource();
  void StopSource();
  void Apply3DToSource();

  std::shared_ptr<DeviceState> dev_;  // declared first: outlives the data's OpenAL buffer
  std::shared_ptr<SoundData> data_;
  DWORD flags_;
  ULONG refs_ = 1;
  LONG volume_ = 0;
  bool playing_ = false, looping_ = false;
  DWORD pos_ = 0;       // while stopped
  DWORD startPos_ = 0;  // while playing: the position at startTime_
  DWORD startTime_ = 0;
  ALuint source_ = 0;
  std::shared_ptr<AlBuffer> attached_;
  Face3D face3d_{this};
  Vec3 pos3d_, pending3d_;
  bool hasPending3d_ = false;
};

class PrimaryBuffer final : public IDirectSoundBuffer8 {
 public:
  PrimaryBuffer(std::shared_ptr<DeviceState> dev, DWORD flags) : dev_(std::move(dev)), flags_(flags) {}
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT QueryInterface(REFIID iid, LPVOID* out) override;
  HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) override;
  HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) override;
  HRESULT GetVolume(LPLONG volume) override;
  HRESULT GetStatus(LPDWORD status) override;
  HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override {
    return DSERR_PRIOLEVELNEEDED;
  }
  HRESULT Play(DWORD, DWORD, DWORD) override { return DS_OK; }
  HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
  HRESULT SetFormat(LPCWAVEFORMATEX format) override;
  HRESULT SetVolume(LONG volume) override;
  HRESULT Stop() override { return DS_OK; }
  HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_INVALIDCALL; }
  HRESULT Restore() override { return DS_OK; }

 private:
  class Listener final : public OwnedFace<IDirectSound3DListener, PrimaryBuffer> {
   public:
    using OwnedFace::OwnedFace;
    HRESULT GetPosition(DS3DVECTOR* position) override;
    HRESULT SetPosition(float x, float y, float z, DWORD apply) override;
    HRESULT SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz, DWORD apply) override;
    HRESULT CommitDeferredSettings() override;
  };
  ~PrimaryBuffer() override = default;

  std::shared_ptr<DeviceState> dev_;
  DWORD flags_;
  ULONG refs_ = 1;
  LONG volume_ = 0;
  Listener listener_{this};
};

}  // namespace zqaudio
