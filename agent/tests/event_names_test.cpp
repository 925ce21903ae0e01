#include <gtest/gtest.h>

#include "event_names.h"

TEST(EventNames, CarryUserProductAndSession) {
  const agent::EventNames n = agent::BuildEventNames(false, L"printuser", 1);
  EXPECT_EQ(n.print, L"Global\\printuser_Scrivo_printevent_SESSION1");
  EXPECT_EQ(n.shared, L"Global\\Scrivo_shared_printing_event");
  EXPECT_EQ(n.kill, L"Global\\Scrivo_killevent");
  EXPECT_EQ(agent::BuildEventNames(false, L"u", 12).print, L"Global\\u_Scrivo_printevent_SESSION12");
  // A user name that could not be read leaves its part empty.
  EXPECT_EQ(agent::BuildEventNames(false, L"", 0).print, L"Global\\_Scrivo_printevent_SESSION0");
}

TEST(EventNames, LegacyNamesHaveNeitherPrefixNorUserNorSession) {
  const agent::EventNames n = agent::BuildEventNames(true, L"printuser", 3);
  EXPECT_EQ(n.print, L"Scrivo_printevent");
  EXPECT_EQ(n.shared, L"Scrivo_shared_printing_event");
  EXPECT_EQ(n.kill, L"Scrivo_killevent");
}
