#include "agent_settings.h"

#include "common/product.h"
#include "w32/strings.h"

namespace agent {
namespace {
AgentSettings g_settings;
}

std::wstring ProcessUserName() {
  wchar_t name[64] = {};
  DWORD size = 64;
  if (!::GetUserNameW(name, &size)) return {};
  return name;
}

bool IsLegacyWindows() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  return ::GetVersionExW(&version) && version.dwMajorVersion == 4;
}

void LoadAgentSettings() {
  AgentSettings s;
  s.legacy = IsLegacyWindows();
  s.caption = w32::Format(L"%s agent", scrivo::kProductName);
  s.userName = ProcessUserName();
  const scrivo::ProductSettings product = scrivo::ReadProductSettings();
  s.log = product.log != 0;
  s.messageMode = product.messageMode == 1;
  s.notifyMessage = scrivo::RegisterNotifyMessage();
  g_settings = s;
}

const AgentSettings& Settings() { return g_settings; }

void SetSettingsForTest(const AgentSettings& settings) { g_settings = settings; }

}  // namespace agent
