// CZqAnimation: plays a range of a texture group's frames over the engine's elapsed time.
#include "ZqAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "ZqEngine.h"
#include "ZqTextureGroup.h"

namespace {

constexpr DWORD kDefaultDelay = 300;
// Longest description read, and longest field text after the group name.
constexpr size_t kMaxDescription = 999;
constexpr size_t kMaxFields = 99;
// Frame numbers from a description are kept within this magnitude so that a range's frame
// count always fits its signed 32-bit member.
constexpr int32_t kMaxFrameNumber = 0x3FFFFFFF;

int64_t FloorMod(int64_t a, int64_t b) {
  const int64_t m = a % b;
  return m < 0 ? m + b : m;
}

int64_t FloorDiv(int64_t a, int64_t b) { return (a - FloorMod(a, b)) / b; }

// A time from float arithmetic, truncated; out-of-range and NaN values do not wrap.
DWORD ToTime(double v) {
  if (!(v > 0.0)) return 0;
  if (v >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<DWORD>(v);
}

// Leading signed decimal integer of [s, end): blanks, a sign and digits; text after the digits
// is ignored, no digits read 0. Saturates instead of overflowing.
int32_t LeadingInt(const char* s, const char* end) {
  while (s < end && (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r' || *s == '\v' || *s == '\f')) ++s;
  bool negative = false;
  if (s < end && (*s == '+' || *s == '-')) negative = *s++ == '-';
  int64_t v = 0;
  for (; s < end && *s >= '0' && *s <= '9'; ++s) {
    v = v * 10 + (*s - '0');
    if (v > int64_t{1} << 32) v = int64_t{1} << 32;  // keeps growing digits from overflowing
  }
  if (negative) v = -v;
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t FrameNumber(const char* s, const char* end) {
  return std::clamp(LeadingInt(s, end), -kMaxFrameNumber, kMaxFrameNumber);
}

}  // namespace

CZqAnimation::CZqAnimation(CZqEngine* engine)
    : m_pEngine(engine),
      m_pGroup(nullptr),
      m_nCurrentFrame(0),
      m_nFirstFrame(0),
      m_nLastFrame(0),
      m_nFrameCount(0),
      m_dwDelay(kDefaultDelay),
      m_dwAccumulated(0),
      m_dwPlayed(0),
      m_dwTimeLimit(0),
      m_nDirection(1),
      m_bReframe(0),
      m_nRewindFrames(0),
      m_nRewindsLeft(0),
      m_nMode(0) {}

CZqAnimation::~CZqAnimation() { Cleanup(); }

void CZqAnimation::Cleanup() {
  if (m_pGroup) {
    CZqTextureGroup* group = m_pGroup;
    m_pGroup = nullptr;
    if (group->Release() <= 0) delete group;
  }
  m_nCurrentFrame = m_nFirstFrame = m_nLastFrame = m_nFrameCount = 0;
  m_dwAccumulated = m_dwPlayed = m_dwTimeLimit = 0;
  m_bReframe = 0;
  m_nRewindFrames = m_nRewindsLeft = 0;
  m_nMode = 0;
  m_dwDelay = kDefaultDelay;
  m_nDirection = 1;
  m_strKey.clear();
}

void CZqAnimation::SetZqEngine(CZqEngine* engine) {
  Cleanup();
  m_pEngine = engine;
}

int CZqAnimation::Create(const char* description) {
  Cleanup();
  m_strKey = description ? description : "";
  if (!m_pEngine) return 0;

  const char* text = m_strKey.c_str();
  const char* end = text + std::min(m_strKey.size(), kMaxDescription);
  const char* comma = std::find(text, end, ',');
  const std::string name(text, comma);
  m_pGroup = m_pEngine->FindTextureGroup(name.c_str());
  if (!m_pGroup) return 0;

  const int frames = m_pGroup->GetNumTexture();
  m_nCurrentFrame = 0;
  m_nFirstFrame = 0;
  m_nLastFrame = frames - 1;
  m_dwDelay = m_pGroup->GetDefaultDelay();

  m_nFrameCount = frames > 0 ? frames : 1;
  long mode = 0;
  if (comma < end && comma + 1 < end) {
    const char* s = comma + 1;
    const char* fieldsEnd = s + std::min<size_t>(static_cast<size_t>(end - s), kMaxFields);
    // Each call yields the next field [s, e) and whether it was there at all.
    auto next = [&](const char*& f, const char*& e) {
      if (!s) return false;
      f = s;
      e = std::find(s, fieldsEnd, ',');
      s = e < fieldsEnd ? e + 1 : nullptr;
      return true;
    };
    const char *f, *e;
    next(f, e);
    const int32_t cur = FrameNumber(f, e);
    m_nCurrentFrame = cur;
    if (!next(f, e)) {
      m_nFirstFrame = m_nLastFrame = cur;
    } else {
      m_nFirstFrame = std::min(FrameNumber(f, e), cur);
      if (!next(f, e)) {
        m_nLastFrame = cur;
      } else {
        m_nLastFrame = std::max(FrameNumber(f, e), cur);
        if (next(f, e)) {
          const int32_t delay = LeadingInt(f, e);
          if (delay > 0) m_dwDelay = static_cast<DWORD>(delay);
          if (s) {
            const std::string word(s, fieldsEnd);
            if (word == "loop" || word == "loop_back")
              mode = 1;
            else if (word == "rotate")
              mode = 3;
            else if (word == "rotate_back")
              mode = 4;
          }
        }
      }
    }
    m_nFrameCount = m_nLastFrame - m_nFirstFrame + 1;
  }
  if (mode) Play(mode, 0, 0.0f, 0.0f, 0.0f);
  return 1;
}

void CZqAnimation::Play(long mode, int restart, float passes, float extra, float seconds) {
  if (!m_pGroup) {
    m_nMode = 0;
    return;
  }
  m_nMode = static_cast<int32_t>(mode);
  if (seconds > 0) m_dwDelay = ToTime(double{seconds} * 10000.0);
  if (restart) m_dwAccumulated = 0;
  m_dwPlayed = 0;
  m_dwTimeLimit = ToTime(static_cast<double>(m_dwDelay) * m_nFrameCount * passes + extra);
  switch (mode) {
    case 1:
    case 3:
      if (restart) m_nCurrentFrame = m_nFirstFrame;
      m_nDirection = 1;
      break;
    case 2:
    case 4:
      if (restart) m_nCurrentFrame = m_nLastFrame;
      m_nDirection = 0;
      break;
    default:
      break;
  }
}

float CZqAnimation::OnePassExtra(float seconds) const {
  // The pass is timed with the delay it will be played at; a delay of 0 plays as 1.
  const double delay =
      seconds > 0 ? static_cast<double>(ToTime(double{seconds} * 10000.0)) : static_cast<double>(m_dwDelay);
  return static_cast<float>(std::max(delay, 1.0) * m_nFrameCount - 1.0);
}

void CZqAnimation::PlayToEnd(int restart, float seconds) {
  if (restart) m_nCurrentFrame = m_nFirstFrame;
  Play(1, restart, 0.0f, OnePassExtra(seconds), seconds);
}

void CZqAnimation::PlayToStart(int restart, float seconds) {
  if (restart) m_nCurrentFrame = m_nLastFrame;
  Play(2, restart, 0.0f, OnePassExtra(seconds), seconds);
}

void CZqAnimation::PlayToReframe(int flag, int rewindFrames, int rewinds, int restart, float seconds) {
  if (!flag) return;
  m_bReframe = flag;
  m_nRewindFrames = rewindFrames;
  m_nRewindsLeft = rewinds;
  if (restart) m_nCurrentFrame = m_nFirstFrame;
  Play(1, restart, 0.0f, OnePassExtra(seconds), seconds);
}

long CZqAnimation::Update() {
  if (!m_pGroup) return -1;
  if (m_nFrameCount == 1) return 0;
  if (m_nMode == 0 || !m_pEngine) return -1;

  const int64_t count = std::max<int64_t>(m_nFrameCount, 1);
  const int64_t first = m_nFirstFrame;
  const int64_t delay = std::max<DWORD>(m_dwDelay, 1);
  const DWORD dt = m_pEngine->GetElapsedTime();
  m_dwPlayed = m_dwPlayed > 0xFFFFFFFFu - dt ? 0xFFFFFFFFu : m_dwPlayed + dt;
  int64_t t = int64_t{m_dwAccumulated} + dt;
  const bool limited = m_dwTimeLimit != 0;
  if (limited && m_dwPlayed > m_dwTimeLimit) t = std::max<int64_t>(t - (m_dwPlayed - m_dwTimeLimit), 0);

  int64_t current = m_nCurrentFrame;
  int64_t steps = 0;
  if (t < delay) {
    m_dwAccumulated = static_cast<DWORD>(t);
  } else {
    m_dwAccumulated = static_cast<DWORD>(t % delay);
    steps = t / delay;
    const int64_t r = current - first;
    int64_t u = m_nDirection ? r + steps : r + 2 * count - steps;
    if ((m_nMode == 3 || m_nMode == 4) && FloorMod(FloorDiv(u, count), 2) == 1) {
      m_nDirection = m_nDirection ? 0 : 1;
      u = (count - 1) - FloorMod(u, count);
    }
    current = first + FloorMod(u, count);
  }
  m_nCurrentFrame = static_cast<int32_t>(first + FloorMod(current - first, count));

  if (limited && m_dwPlayed > m_dwTimeLimit) {
    if (m_bReframe && m_nRewindsLeft > 0) {
      const int64_t back = int64_t{m_nLastFrame} - m_nRewindFrames;
      m_nCurrentFrame = static_cast<int32_t>(first + FloorMod(back - first, count));
      m_dwPlayed =
          static_cast<DWORD>(std::max<int64_t>(int64_t{m_dwTimeLimit} - int64_t{m_nRewindFrames} * delay, 0));
      --m_nRewindsLeft;
      return static_cast<long>(steps);
    }
    m_bReframe = 0;
    m_nMode = 0;
    return -1;
  }
  return static_cast<long>(steps);
}

CZqTexture* CZqAnimation::GetCurrentFrame() {
  return m_pGroup ? m_pGroup->GetTexture(m_nCurrentFrame) : nullptr;
}

void CZqAnimation::SetPos(int pos) {
  m_nCurrentFrame = (pos < 0 || pos >= m_nFrameCount) ? m_nLastFrame : m_nFirstFrame + pos;
}

long CZqAnimation::Draw(long x, long y, float z, float scaleX, float scaleY, float alpha, float angle,
                        DWORD color) {
  if (!m_pEngine) return 0;
  // Without a texture the painter would cover the whole back buffer.
  CZqTexture* frame = GetCurrentFrame();
  if (!frame) return 0;
  return m_pEngine->Render_Paint(x, y, frame, z, scaleX, scaleY, alpha, angle, color);
}

long CZqAnimation::DrawFast(long x, long y, float z, float scaleX, float scaleY, float alpha, DWORD color) {
  if (!m_pEngine) return 0;
  CZqTexture* frame = GetCurrentFrame();
  if (!frame) return 0;
  return m_pEngine->Render_PaintFast(x, y, frame, z, scaleX, scaleY, alpha, color);
}

long CZqAnimation::ReleaseObjects() {
  if (m_pGroup) m_pGroup->ReleaseObjects();
  return 0;
}
