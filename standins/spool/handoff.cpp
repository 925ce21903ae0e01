#include "handoff.h"

#include "w32/registry.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace spool {
namespace {

const wchar_t kProductKey[] = L"Software\\Scrivo";

std::wstring ThisUser() {
  wchar_t name[256] = {};
  DWORD size = 256;
  return ::GetUserNameW(name, &size) ? name : L"";
}

DWORD ThisSession() {
  DWORD session = 0;
  ::ProcessIdToSessionId(::GetCurrentProcessId(), &session);
  return session;
}

bool ValuePresent(const std::wstring& valueName) {
  w32::RegKey key = w32::RegKey::Open(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ);
  return key.Valid() && ::RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, nullptr,
                                           nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace

Handoff HandoffFor(const Options& o) {
  const std::wstring user = o.user ? *o.user : ThisUser();
  const DWORD session = o.session ? *o.session : ThisSession();
  const std::wstring printEvent =
      w32::Format(L"Global\\%s_Scrivo_printevent_SESSION%lu", user.c_str(), session);
  switch (o.target) {
    case Target::Shared: return {L"Shared", L"Global\\Scrivo_shared_printing_event"};
    case Target::Legacy: return {L"Print Job", L"Scrivo_printevent"};
    case Target::System: return {L"SYSTEM", printEvent};
    case Target::User: break;
  }
  return {user, printEvent};
}

std::wstring KillEventName(bool legacy) {
  return legacy ? L"Scrivo_killevent" : L"Global\\Scrivo_killevent";
}

bool WaitUntilTaken(const std::wstring& valueName, DWORD waitMs) {
  const DWORD start = ::GetTickCount();
  while (ValuePresent(valueName)) {
    if (::GetTickCount() - start >= waitMs) return false;
    ::Sleep(20);
  }
  return true;
}

Result StoreValue(const std::wstring& valueName, const std::wstring& jobFile, std::wstring* error) {
  if (ValuePresent(valueName)) {
    *error = L"a job already waits under the value \"" + valueName + L"\"";
    return Result::Busy;
  }
  LONG rc = 0;
  w32::RegKey key = w32::RegKey::Create(HKEY_LOCAL_MACHINE, kProductKey, KEY_SET_VALUE, &rc);
  if (key.Valid()) rc = key.WriteString(valueName, jobFile);
  if (rc != ERROR_SUCCESS) {
    *error = L"cannot store the job value: " + w32::SystemErrorText(rc);
    return Result::Failed;
  }
  return Result::Done;
}

Result SetEvent(const std::wstring& eventName, std::wstring* error) {
  w32::KernelHandle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str()));
  if (!event) {
    *error = L"no agent listens: cannot open the event " + eventName;
    return Result::NoAgent;
  }
  if (!::SetEvent(event.Get())) {
    *error = L"cannot set the event " + eventName;
    return Result::Failed;
  }
  return Result::Done;
}

}  // namespace spool
