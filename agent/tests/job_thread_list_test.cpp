#include <gtest/gtest.h>

#include "job_thread_list.h"

namespace {

DWORD WINAPI EndAtOnce(void*) { return 7; }
DWORD WINAPI WaitForEvent(void* event) {
  ::WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
  return 0;
}

w32::KernelHandle Start(LPTHREAD_START_ROUTINE entry, void* arg = nullptr) {
  return w32::KernelHandle(::CreateThread(nullptr, 0, entry, arg, 0, nullptr));
}

TEST(JobThreadList, CapacityStartsAtOneAndDoubles) {
  agent::JobThreadList list;
  EXPECT_EQ(list.Capacity(), 0u);
  size_t seen[5];
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(list.Add(Start(EndAtOnce)));
    seen[i] = list.Capacity();
  }
  EXPECT_EQ(seen[0], 1u);
  EXPECT_EQ(seen[1], 2u);
  EXPECT_EQ(seen[2], 4u);
  EXPECT_EQ(seen[3], 4u);
  EXPECT_EQ(seen[4], 8u);
  // Every thread ends on its own and is then dropped.
  for (int i = 0; i < 500 && list.Size() > 0; ++i) {
    list.Reap(false);
    ::Sleep(10);
  }
  EXPECT_EQ(list.Size(), 0u);
}

TEST(JobThreadList, ReapDropsEndedThreadsAndTerminatesOnlyWhenAsked) {
  w32::KernelHandle never(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  agent::JobThreadList list;
  w32::KernelHandle ended = Start(EndAtOnce);
  ASSERT_EQ(::WaitForSingleObject(ended.Get(), 10000), WAIT_OBJECT_0);
  list.Add(std::move(ended));
  w32::KernelHandle running = Start(WaitForEvent, never.Get());
  const HANDLE runningHandle = running.Get();
  HANDLE watch = nullptr;
  ::DuplicateHandle(::GetCurrentProcess(), runningHandle, ::GetCurrentProcess(), &watch, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  w32::KernelHandle watcher(watch);
  list.Add(std::move(running));

  list.Reap(false);
  EXPECT_EQ(list.Size(), 1u);  // the running one stays
  EXPECT_EQ(::WaitForSingleObject(watcher.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  list.Reap(true);
  EXPECT_EQ(list.Size(), 0u);
  ASSERT_EQ(::WaitForSingleObject(watcher.Get(), 10000), WAIT_OBJECT_0);
  DWORD code = 1;
  ::GetExitCodeThread(watcher.Get(), &code);
  EXPECT_EQ(code, 0u);
}

}  // namespace
