// The agent's process-wide settings: read once at start-up, read-only
// afterwards, read by the job threads.
#pragma once
#include <windows.h>
#include <string>

namespace agent {

struct AgentSettings {
  bool legacy = false;        // major version 4: Windows 95, 98, Me, NT 4.0
  std::wstring userName;      // the process's account, empty when it does not fit 63 characters
  std::wstring caption;       // "Scrivo agent"
  bool log = false;           // "Log" nonzero
  bool messageMode = false;   // "Message Mode" exactly 1
  UINT notifyMessage = 0;     // "Scrivo_notify_message"
};

// Reads the settings (steps of the agent's start-up) into the process-wide copy.
void LoadAgentSettings();
const AgentSettings& Settings();
// For tests of the job pieces: replaces the process-wide copy.
void SetSettingsForTest(const AgentSettings& settings);

// The account name of the calling process in a 64-character buffer; empty
// when it cannot be read (a name of 64 characters or more).
std::wstring ProcessUserName();
// True when the system reports a major version of 4.
bool IsLegacyWindows();

}  // namespace agent
