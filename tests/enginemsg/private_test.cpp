// The engine's private messages: media events go to the media object registered under the
// message's index.
#include "enginemsg_support.h"

namespace enginemsg {
namespace {

// A graph's event queue holding one completion.
class CompletionEvents : public IMediaEventEx {
 public:
  int pending = 1;
  int reads = 0;
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT QueryInterface(REFIID, LPVOID*) override { return E_NOINTERFACE; }
  HRESULT GetEvent(LONG* code, LONG_PTR* p1, LONG_PTR* p2, LONG) override {
    ++reads;
    if (!pending) return E_ABORT;
    --pending;
    *code = EC_COMPLETE;
    *p1 = *p2 = 0;
    return S_OK;
  }
  HRESULT FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return S_OK; }
  HRESULT SetNotifyWindow(OAHWND, LONG, LONG_PTR) override { return S_OK; }
};

// A media object that believes it is playing, over the fake event queue.
class PlayingMedia : public CZqMedia {
 public:
  PlayingMedia(CZqEngine* engine, CompletionEvents* events) : CZqMedia(engine) {
    m_pME = events;
    m_nState = 2;
  }
  ~PlayingMedia() override { m_pME = nullptr; }
};

TEST_F(EngineMsgTest, MediaEventsReachTheMediaObjectOfTheirIndex) {
  Start();
  CompletionEvents first, second;
  PlayingMedia a(engine, &first), b(engine, &second);
  ASSERT_EQ(a.GetIndex(), 0);
  ASSERT_EQ(b.GetIndex(), 1);

  PostMessageA(wnd, ZQ_MEDIAMSG_BASE + 1, 0, 1);
  PostMessageA(wnd, ZQ_MEDIAMSG_BASE + 7, 0, 7);  // no media object there: nothing
  Pump();
  EXPECT_EQ(first.reads, 0);
  EXPECT_EQ(a.IsPlaying(), 1);
  EXPECT_GT(second.reads, 0);
  EXPECT_EQ(b.IsPlaying(), 0);  // completed: stopped
}

}  // namespace
}  // namespace enginemsg
