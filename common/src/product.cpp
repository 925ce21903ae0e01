#include "common/product.h"

#include "w32/registry.h"
#include "w32/strings.h"

namespace scrivo {

std::wstring ProductKeyPath() { return w32::Format(L"Software\\%s", kProductName); }

std::wstring DefaultsKeyPath() { return w32::Format(L"Software\\%s\\Defaults", kProductName); }

ProductSettings ReadProductSettings() {
  ProductSettings settings;
  const w32::RegKey key = w32::RegKey::Open(HKEY_LOCAL_MACHINE, ProductKeyPath(), KEY_READ);
  if (key.Valid()) {
    settings.log = key.ReadDwordOr(L"Log", 0);
    settings.messageMode = key.ReadDwordOr(L"Message Mode", 0);
  }
  return settings;
}

UINT RegisterNotifyMessage() {
  return ::RegisterWindowMessageW(w32::Format(L"%s_notify_message", kProductName).c_str());
}

}  // namespace scrivo
