#include <gtest/gtest.h>

#include <oaidl.h>

#include "w32/com_apartment.h"

namespace {

TEST(ComApartment, NestsAndCreatesByProgId) {
  w32::ComApartment outer;
  ASSERT_TRUE(outer.Ok());
  {
    w32::ComApartment inner;  // already initialised: S_FALSE, still balanced
    EXPECT_EQ(inner.Result(), S_FALSE);
  }
  // The standard font object is registered in every Windows installation.
  w32::ComPtr<IDispatch> font;
  EXPECT_EQ(w32::CreateInstance(L"StdFont", font), S_OK);
  EXPECT_TRUE(font);
  w32::ComPtr<IDispatch> none;
  EXPECT_EQ(w32::CreateInstance(L"No.Such.ProgId", none), CO_E_CLASSSTRING);
  EXPECT_FALSE(none);
}

TEST(ComApartment, DifferentModelIsRefusedAndNotBalanced) {
  w32::ComApartment sta;
  ASSERT_TRUE(sta.Ok());
  w32::ComApartment mta(COINIT_MULTITHREADED);
  EXPECT_EQ(mta.Result(), RPC_E_CHANGED_MODE);
  EXPECT_FALSE(mta.Ok());
}

}  // namespace
