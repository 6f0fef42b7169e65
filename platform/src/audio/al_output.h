// The process's one OpenAL output: device, context, a pool of sources, and the voices (buffers)
// that use it. Opened with the first DirectSound object, closed with the last.
#pragma once

#include <AL/al.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace zqaudio {

// An OpenAL buffer shared by every source that still plays it.
class AlBuffer {
 public:
  explicit AlBuffer(ALuint id) : id_(id) {}
  ~AlBuffer();
  AlBuffer(const AlBuffer&) = delete;
  AlBuffer& operator=(const AlBuffer&) = delete;
  ALuint id() const { return id_; }

 private:
  ALuint id_;
};

// Something that owns a source while it plays (a secondary buffer).
class Voice {
 public:
  virtual void Sync() = 0;         // bring the state up to the clock (ends finished one-shots)
  virtual void RefreshGain() = 0;  // the application's activation changed
 protected:
  ~Voice() = default;
};

class AlOutput {
 public:
  // Reference-counted process-wide output; the first reference opens the device.
  static AlOutput* Acquire();
  static void ReleaseRef();
  static AlOutput* Current();  // null while nothing holds a reference

  bool HasDevice() const { return context_ != nullptr; }
  // Null when the data cannot be uploaded or there is no device.
  std::shared_ptr<AlBuffer> MakeBuffer(const void* data, size_t bytes, int channels, int bits, uint32_t rate);
  // 0 when no device or none left (the voice then plays silently).
  ALuint TakeSource();
  void GiveSource(ALuint source);

  void AddVoice(Voice* v);
  void RemoveVoice(Voice* v);
  void SyncVoices();  // frees the sources of voices that have ended
  bool AppActive() const { return appActive_; }

 private:
  AlOutput();
  ~AlOutput();
  static void OnActivation(void* ctx, int active);

  void* device_ = nullptr;
  void* context_ = nullptr;
  std::vector<ALuint> freeSources_;
  int liveSources_ = 0;
  std::vector<Voice*> voices_;
  bool appActive_ = true;
};

}  // namespace zqaudio
