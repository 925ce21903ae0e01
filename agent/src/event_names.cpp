#include "event_names.h"

#include "common/product.h"
#include "w32/strings.h"

namespace agent {

EventNames BuildEventNames(bool legacy, const std::wstring& userName, DWORD session) {
  const wchar_t* product = scrivo::kProductName;
  if (legacy)
    return {w32::Format(L"%s_printevent", product), w32::Format(L"%s_shared_printing_event", product),
            w32::Format(L"%s_killevent", product)};
  return {w32::Format(L"Global\\%s_%s_printevent_SESSION%d", userName.c_str(), product,
                      static_cast<int>(session)),
          w32::Format(L"Global\\%s_shared_printing_event", product),
          w32::Format(L"Global\\%s_killevent", product)};
}

DWORD CurrentSession() {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session)) return 0;
  return session;
}

}  // namespace agent
