// Names of the agent's three named events.
#pragma once
#include <windows.h>
#include <string>

namespace agent {

struct EventNames {
  std::wstring print;   // a job of this user in this session waits
  std::wstring shared;  // a job waits that any agent may take
  std::wstring kill;    // every agent exits
};

// "Global\<user>_Scrivo_printevent_SESSION<n>", "Global\Scrivo_shared_printing_event",
// "Global\Scrivo_killevent"; on legacy Windows without the prefix, user and session.
EventNames BuildEventNames(bool legacy, const std::wstring& userName, DWORD session);

// The Windows session of the calling process (0 when it cannot be read).
DWORD CurrentSession();

}  // namespace agent
