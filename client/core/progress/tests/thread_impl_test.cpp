#include <gtest/gtest.h>

#include <stdexcept>

#include "progress/thread_impl.h"

namespace {

class Returns : public CThreadImpl {
 public:
  ~Returns() override { Stop(); }
  DWORD Run() override { return 42; }
};

class Throws : public CThreadImpl {
 public:
  ~Throws() override { Stop(); }
  DWORD Run() override { throw std::runtime_error("escaped"); }
};

class LoopsUntilStopped : public CThreadImpl {
 public:
  ~LoopsUntilStopped() override { Stop(); }
  DWORD Run() override {
    ::SetEvent(running.Get());
    while (!StopRequested()) ::Sleep(5);
    return 7;
  }
  w32::KernelHandle running{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

DWORD ExitCodeAfterEnd(CThreadImpl& t) {
  EXPECT_EQ(::WaitForSingleObject(t.ThreadHandle(), 90000), WAIT_OBJECT_0);
  DWORD code = 12345;
  ::GetExitCodeThread(t.ThreadHandle(), &code);
  return code;
}

TEST(ThreadImpl, RunResultIsTheExitCodeAndEscapedErrorsEndWithZero) {
  Returns r;
  ASSERT_TRUE(r.Start());
  EXPECT_EQ(ExitCodeAfterEnd(r), 42u);
  Throws t;
  ASSERT_TRUE(t.Start());
  EXPECT_EQ(ExitCodeAfterEnd(t), 0u);
}

TEST(ThreadImpl, StopSetsTheFlagWaitsAndClosesTheHandle) {
  LoopsUntilStopped t;
  EXPECT_EQ(t.ThreadId(), static_cast<DWORD>(-1));
  ASSERT_TRUE(t.Start());
  ASSERT_EQ(::WaitForSingleObject(t.running.Get(), 90000), WAIT_OBJECT_0);
  EXPECT_FALSE(t.Start());  // already running
  t.Stop();
  EXPECT_TRUE(t.StopRequested());
  EXPECT_FALSE(t.ThreadExists());
  ASSERT_TRUE(t.Start());  // Start clears the flag again
  EXPECT_FALSE(t.StopRequested() && ::WaitForSingleObject(t.ThreadHandle(), 0) == WAIT_TIMEOUT);
}

}  // namespace
