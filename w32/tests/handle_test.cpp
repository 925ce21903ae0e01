#include <gtest/gtest.h>

#include <type_traits>

#include "w32/module_path.h"
#include "w32/unique_handle.h"

namespace {

static_assert(!std::is_copy_constructible_v<w32::KernelHandle>);
static_assert(std::is_nothrow_move_constructible_v<w32::KernelHandle>);

TEST(UniqueHandle, MoveTransfersOwnershipAndClosesOnce) {
  w32::KernelHandle a(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ASSERT_TRUE(a.Valid());
  const HANDLE raw = a.Get();
  w32::KernelHandle b(std::move(a));
  EXPECT_FALSE(a.Valid());
  EXPECT_EQ(b.Get(), raw);
  b.Reset();
  DWORD flags = 0;
  EXPECT_FALSE(::GetHandleInformation(raw, &flags));
}

TEST(UniqueHandle, InvalidHandleValueIsNoHandle) {
  w32::KernelHandle file(::CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(file.Valid());
}

TEST(ModulePath, FolderAndJoin) {
  const std::wstring exe = w32::ModulePath();
  ASSERT_FALSE(exe.empty());
  EXPECT_TRUE(w32::FileExists(exe));
  EXPECT_EQ(w32::JoinPath(w32::ModuleFolder(), L"x.exe"), w32::ModuleFolder() + L"\\x.exe");
  EXPECT_EQ(w32::JoinPath(L"C:\\a\\", L"\\b"), L"C:\\a\\b");
  EXPECT_EQ(w32::ParentFolder(L"name"), L"");
}

}  // namespace
