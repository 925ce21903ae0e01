// Handing a written job to the agents: the job value and the events.
#pragma once
#include <windows.h>
#include <string>

#include "options.h"

namespace spool {

struct Handoff {
  std::wstring valueName;  // under HKLM\Software\Scrivo
  std::wstring eventName;
};

Handoff HandoffFor(const Options& options);
std::wstring KillEventName(bool legacy);

enum class Result { Done, NoAgent, NotTaken, Busy, Failed };

// Waits (at most `waitMs`) until no job waits under the value name.
bool WaitUntilTaken(const std::wstring& valueName, DWORD waitMs);
Result StoreValue(const std::wstring& valueName, const std::wstring& jobFile, std::wstring* error);
Result SetEvent(const std::wstring& eventName, std::wstring* error);

}  // namespace spool
