#include "audio/al_output.h"

#include <AL/alc.h>

#include <algorithm>
#include <cstdio>

#include "zqplatform/window.h"

namespace zqaudio {
namespace {
AlOutput* g_output = nullptr;
int g_refs = 0;
constexpr int kMaxSources = 255;  // OpenAL Soft's default budget is 256
}  // namespace

AlBuffer::~AlBuffer() {
  if (id_ && AlOutput::Current() && AlOutput::Current()->HasDevice()) alDeleteBuffers(1, &id_);
}

AlOutput* AlOutput::Acquire() {
  if (!g_output) g_output = new AlOutput();
  ++g_refs;
  return g_output;
}

void AlOutput::ReleaseRef() {
  if (g_refs > 0 && --g_refs == 0) {
    delete g_output;
    g_output = nullptr;
  }
}

AlOutput* AlOutput::Current() { return g_output; }

AlOutput::AlOutput() {
  ALCdevice* dev = alcOpenDevice(nullptr);
  if (dev) {
    ALCcontext* ctx = alcCreateContext(dev, nullptr);
    if (ctx && alcMakeContextCurrent(ctx)) {
      device_ = dev;
      context_ = ctx;
      alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    } else {
      if (ctx) alcDestroyContext(ctx);
      alcCloseDevice(dev);
    }
  }
  if (!context_) std::fprintf(stderr, "audio: no output device, sounds run silent\n");
  zqAddActivationListener(&AlOutput::OnActivation, this);
}

AlOutput::~AlOutput() {
  zqRemoveActivationListener(&AlOutput::OnActivation, this);
  if (context_) {
    if (!freeSources_.empty())
      alDeleteSources(static_cast<ALsizei>(freeSources_.size()), freeSources_.data());
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(context_));
    alcCloseDevice(static_cast<ALCdevice*>(device_));
  }
}

void AlOutput::OnActivation(void* ctx, int active) {
  auto* self = static_cast<AlOutput*>(ctx);
  if (self->appActive_ == (active != 0)) return;
  self->appActive_ = active != 0;
  for (Voice* v : self->voices_) v->RefreshGain();
}

std::shared_ptr<AlBuffer> AlOutput::MakeBuffer(const void* data, size_t bytes, int channels, int bits,
                                               uint32_t rate) {
  if (!context_ || bytes == 0) return nullptr;
  ALenum format = channels == 1 ? (bits == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                                : (bits == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
  alGetError();
  ALuint id = 0;
  alGenBuffers(1, &id);
  if (alGetError() != AL_NO_ERROR) return nullptr;
  alBufferData(id, format, data, static_cast<ALsizei>(bytes), static_cast<ALsizei>(rate));
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &id);
    return nullptr;
  }
  return std::make_shared<AlBuffer>(id);
}

ALuint AlOutput::TakeSource() {
  if (!context_) return 0;
  if (!freeSources_.empty()) {
    ALuint s = freeSources_.back();
    freeSources_.pop_back();
    return s;
  }
  if (liveSources_ >= kMaxSources) return 0;
  alGetError();
  ALuint s = 0;
  alGenSources(1, &s);
  if (alGetError() != AL_NO_ERROR) return 0;
  ++liveSources_;
  return s;
}

void AlOutput::GiveSource(ALuint source) {
  if (!source || !context_) return;
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
  freeSources_.push_back(source);
}

void AlOutput::AddVoice(Voice* v) { voices_.push_back(v); }

void AlOutput::RemoveVoice(Voice* v) {
  voices_.erase(std::remove(voices_.begin(), voices_.end(), v), voices_.end());
}

void AlOutput::SyncVoices() {
  // Sync never adds or removes voices, so a copy is not needed.
  for (Voice* v : voices_) v->Sync();
}

}  // namespace zqaudio
