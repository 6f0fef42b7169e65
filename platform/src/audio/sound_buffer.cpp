// Secondary buffers. The play position is computed from the process clock, so the state a caller
// sees (playing, position, a one-shot that ended and rewound) is the same with or without an audio
// device, and on the manual clock of the tests. OpenAL renders what the state says.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/direct_sound_impl.h"
#include "zqplatform/base.h"

namespace zqaudio {

float VolumeToGain(LONG volume) {
  if (volume <= DSBVOLUME_MIN) return 0.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

HRESULT CheckPcmFormat(const WAVEFORMATEX* wf) {
  if (!wf || wf->wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
  if (wf->nChannels != 1 && wf->nChannels != 2) return DSERR_BADFORMAT;
  if (wf->wBitsPerSample != 8 && wf->wBitsPerSample != 16) return DSERR_BADFORMAT;
  if (wf->nSamplesPerSec < DSBFREQUENCY_MIN || wf->nSamplesPerSec > DSBFREQUENCY_MAX) return DSERR_BADFORMAT;
  if (wf->nBlockAlign != wf->nChannels * wf->wBitsPerSample / 8) return DSERR_BADFORMAT;
  return DS_OK;
}

SoundBuffer::SoundBuffer(std::shared_ptr<DeviceState> dev, DWORD flags, std::shared_ptr<SoundData> data)
    : dev_(std::move(dev)), data_(std::move(data)), flags_(flags) {
  dev_->buffers.push_back(this);
  if (dev_->out) dev_->out->AddVoice(this);
}

SoundBuffer::~SoundBuffer() {
  StopSource();
  if (dev_->out) dev_->out->RemoveVoice(this);
  auto& list = dev_->buffers;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

ULONG SoundBuffer::AddRef() { return ++refs_; }

ULONG SoundBuffer::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT SoundBuffer::QueryInterface(REFIID iid, LPVOID* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (SameGuid(iid, IID_IDirectSoundBuffer) || SameGuid(iid, IID_IDirectSoundBuffer8)) {
    *out = static_cast<IDirectSoundBuffer8*>(this);
  } else if (SameGuid(iid, IID_IDirectSound3DBuffer) && (flags_ & DSBCAPS_CTRL3D)) {
    *out = &face3d_;
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

DWORD SoundBuffer::PositionNow(DWORD now, bool* ended) const {
  *ended = false;
  if (!playing_) return pos_;
  const WAVEFORMATEX& wf = data_->format;
  DWORD size = data_->PlayableBytes();
  uint64_t frames = static_cast<uint64_t>(static_cast<DWORD>(now - startTime_)) * wf.nSamplesPerSec / 1000;
  uint64_t p = startPos_ + frames * wf.nBlockAlign;
  if (p < size) return static_cast<DWORD>(p);
  if (!looping_) {
    *ended = true;
    return 0;
  }
  return static_cast<DWORD>(p % size);
}

void SoundBuffer::Sync() {
  if (!playing_) return;
  bool ended = false;
  PositionNow(timeGetTime(), &ended);
  if (ended) {  // a one-shot rewinds at its end
    playing_ = false;
    pos_ = 0;
    StopSource();
  }
}

void SoundBuffer::StartSource() {
  AlOutput* out = dev_->out;
  if (!out || !out->HasDevice()) return;
  if (data_->dirty || !data_->al) {
    data_->al = out->MakeBuffer(data_->bytes.data(), data_->PlayableBytes(), data_->format.nChannels,
                                data_->format.wBitsPerSample, data_->format.nSamplesPerSec);
    data_->dirty = false;
  }
  if (!data_->al) return;
  source_ = out->TakeSource();
  if (!source_) return;  // out of voices: plays silently
  attached_ = data_->al;
  alSourcei(source_, AL_BUFFER, static_cast<ALint>(attached_->id()));
  alSourcei(source_, AL_LOOPING, looping_ ? AL_TRUE : AL_FALSE);
  alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(startPos_));
  Apply3DToSource();
  RefreshGain();
  alSourcePlay(source_);
}

void SoundBuffer::StopSource() {
  if (source_ && dev_->out) dev_->out->GiveSource(source_);
  source_ = 0;
  attached_.reset();
}

void SoundBuffer::Apply3DToSource() {
  if (!source_) return;
  if (flags_ & DSBCAPS_CTRL3D) {
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_FALSE);
    alSource3f(source_, AL_POSITION, pos3d_.x, pos3d_.y, -pos3d_.z);  // left- to right-handed
  } else {
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source_, AL_POSITION, 0, 0, 0);
  }
}

float SoundBuffer::CurrentGain() const {
  bool audible = !dev_->out || dev_->out->AppActive() || (flags_ & DSBCAPS_GLOBALFOCUS);
  return audible ? VolumeToGain(volume_) : 0.0f;
}

void SoundBuffer::RefreshGain() {
  if (source_) alSourcef(source_, AL_GAIN, CurrentGain());
}

HRESULT SoundBuffer::GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) {
  Sync();
  bool ended = false;
  DWORD p = PositionNow(timeGetTime(), &ended);
  if (playCursor) *playCursor = p;
  if (writeCursor) {
    DWORD w = p;
    DWORD size = data_->PlayableBytes();
    if (playing_ && size) {  // the mixer reads about 10 ms ahead
      DWORD ahead = data_->format.nSamplesPerSec / 100 * data_->format.nBlockAlign;
      w = static_cast<DWORD>((static_cast<uint64_t>(p) + ahead) % size);
    }
    *writeCursor = w;
  }
  return DS_OK;
}

HRESULT SoundBuffer::GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) {
  if (!format && !sizeWritten) return DSERR_INVALIDPARAM;
  if (format) {
    if (sizeAllocated < sizeof(WAVEFORMATEX)) return DSERR_INVALIDPARAM;
    *format = data_->format;
  }
  if (sizeWritten) *sizeWritten = sizeof(WAVEFORMATEX);
  return DS_OK;
}

HRESULT SoundBuffer::GetVolume(LPLONG volume) {
  if (!volume) return DSERR_INVALIDPARAM;
  *volume = volume_;
  return DS_OK;
}

HRESULT SoundBuffer::GetStatus(LPDWORD status) {
  if (!status) return DSERR_INVALIDPARAM;
  Sync();
  *status = playing_ ? (DSBSTATUS_PLAYING | (looping_ ? DSBSTATUS_LOOPING : 0)) : 0;
  return DS_OK;
}

HRESULT SoundBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                          LPDWORD bytes2, DWORD flags) {
  if (!audio1 || !bytes1) return DSERR_INVALIDPARAM;
  const DWORD size = static_cast<DWORD>(data_->bytes.size());
  if (flags & DSBLOCK_ENTIREBUFFER) {
    offset = 0;
    bytes = size;
  } else if (flags & DSBLOCK_FROMWRITECURSOR) {
    GetCurrentPosition(nullptr, &offset);
  }
  if (bytes == 0 || bytes > size || offset >= size) return DSERR_INVALIDPARAM;
  uint8_t* base = data_->bytes.data();
  DWORD first = std::min(bytes, size - offset);
  *audio1 = base + offset;
  *bytes1 = first;
  if (first < bytes) {  // wraps to the start of the buffer
    if (!audio2 || !bytes2) return DSERR_INVALIDPARAM;
    *audio2 = base;
    *bytes2 = bytes - first;
  } else {
    if (audio2) *audio2 = nullptr;
    if (bytes2) *bytes2 = 0;
  }
  return DS_OK;
}

HRESULT SoundBuffer::Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) {
  uint8_t* base = data_->bytes.data();
  uint8_t* end = base + data_->bytes.size();
  auto inside = [&](LPVOID p, DWORD n) {
    auto* b = static_cast<uint8_t*>(p);
    return !p ? n == 0 : (b >= base && b <= end && n <= static_cast<size_t>(end - b));
  };
  if (!audio1 || !inside(audio1, bytes1) || !inside(audio2, bytes2)) return DSERR_INVALIDPARAM;
  data_->dirty = true;  // uploaded again on the next Play
  return DS_OK;
}

HRESULT SoundBuffer::Play(DWORD reserved1, DWORD priority, DWORD flags) {
  if (reserved1 != 0) return DSERR_INVALIDPARAM;
  const bool loop = (flags & DSBPLAY_LOOPING) != 0;
  const DWORD now = timeGetTime();
  if (dev_->out) dev_->out->SyncVoices();  // frees the voices of finished one-shots
  if (playing_) {
    if (loop != looping_) {  // the newest flags win, from where it is now
      bool ended = false;
      startPos_ = PositionNow(now, &ended);
      startTime_ = now;
      looping_ = loop;
      if (source_) alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    }
    return DS_OK;
  }
  playing_ = true;
  looping_ = loop;
  startPos_ = pos_;
  startTime_ = now;
  StartSource();
  return DS_OK;
}

HRESULT SoundBuffer::SetCurrentPosition(DWORD newPosition) {
  Sync();
  const DWORD align = data_->format.nBlockAlign;
  if (newPosition >= data_->PlayableBytes()) return DSERR_INVALIDPARAM;
  newPosition -= newPosition % align;
  if (playing_) {
    startPos_ = newPosition;
    startTime_ = timeGetTime();
    if (source_) alSourcei(source_, AL_BYTE_OFFSET, static_cast<ALint>(newPosition));
  } else {
    pos_ = newPosition;
  }
  return DS_OK;
}

HRESULT SoundBuffer::SetFormat(LPCWAVEFORMATEX) { return DSERR_INVALIDCALL; }

HRESULT SoundBuffer::SetVolume(LONG volume) {
  if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  volume_ = volume;
  RefreshGain();
  return DS_OK;
}

HRESULT SoundBuffer::Stop() {
  Sync();
  if (playing_) {
    bool ended = false;
    pos_ = PositionNow(timeGetTime(), &ended);
    playing_ = false;
    StopSource();
  }
  return DS_OK;
}

HRESULT SoundBuffer::Restore() { return DS_OK; }

SoundBuffer* SoundBuffer::Duplicate() {
  auto* dup = new SoundBuffer(dev_, flags_, data_);
  dup->volume_ = volume_;
  dup->pos3d_ = pos3d_;
  return dup;
}

float SoundBuffer::SoundingGain() {
  Sync();
  if (!playing_ || !source_) return -1.0f;
  ALfloat gain = -1.0f;
  alGetSourcef(source_, AL_GAIN, &gain);
  return gain;
}

void SoundBuffer::ApplyPending3D() {
  if (!hasPending3d_) return;
  pos3d_ = pending3d_;
  hasPending3d_ = false;
  Apply3DToSource();
}

HRESULT SoundBuffer::Face3D::GetPosition(DS3DVECTOR* position) {
  if (!position) return DSERR_INVALIDPARAM;
  *position = {owner_->pos3d_.x, owner_->pos3d_.y, owner_->pos3d_.z};
  return DS_OK;
}

HRESULT SoundBuffer::Face3D::SetPosition(float x, float y, float z, DWORD apply) {
  if (apply == DS3D_DEFERRED) {
    owner_->pending3d_ = {x, y, z};
    owner_->hasPending3d_ = true;
  } else {
    owner_->pos3d_ = {x, y, z};
    owner_->Apply3DToSource();
  }
  return DS_OK;
}

}  // namespace zqaudio
