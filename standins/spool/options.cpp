#include "options.h"

#include <cwchar>

namespace spool {

const wchar_t kUsage[] =
    L"spoolside - stands in for the Scrivo printer's spooler side.\n"
    L"\n"
    L"usage: spoolside [options] [page.emf ...]\n"
    L"\n"
    L"Writes one print job: the page files (copies of the EMF files given, or\n"
    L"sample A4 pages drawn at 600 dpi when none is given) and the job description\n"
    L"file listing them; stores the file's path as the job value under\n"
    L"HKLM\\Software\\Scrivo and sets the agent's event.\n"
    L"\n"
    L"  --pages N        sample pages to draw when no EMF file is given (default 3)\n"
    L"  --folder DIR     folder for the job file and its pages\n"
    L"                   (default \"%TEMP%\\Scrivo spool\")\n"
    L"  --for WHO        user   (default) value named by the user, the user's print event\n"
    L"                   shared value \"Shared\", the shared print event\n"
    L"                   legacy value \"Print Job\", event \"Scrivo_printevent\"\n"
    L"                   system value \"SYSTEM\", the user's print event\n"
    L"  --user NAME      user name of the value and the event (default: this account)\n"
    L"  --session N      session number of the event (default: this process's)\n"
    L"  --device NAME    \"DeviceName\" (default \"Scrivo\")\n"
    L"  --document NAME  the document's \"Name\"\n"
    L"  --ansi           job file in the system code page (default UTF-16)\n"
    L"  --omit KEY       leave KEY out of the job file (repeatable)\n"
    L"  --jobs N         N jobs, one after the other; each waits until the agent\n"
    L"                   took the previous one (implies --wait 30000)\n"
    L"  --no-signal      store the job value, set no event\n"
    L"  --wait MS        wait up to MS ms until the agent took the job value\n"
    L"  --kill           set the kill event (every agent exits) and do nothing else\n"
    L"  --quiet          print only the job file paths\n"
    L"  --help           this text\n"
    L"\n"
    L"Exit codes: 0 done; 1 bad usage; 2 files or registry could not be written;\n"
    L"3 no agent listens (the event does not exist; the job value stays);\n"
    L"4 the agent did not take the job value in time; 5 a job already waits\n"
    L"under that value name (use --wait).\n";

namespace {

bool ToNumber(const std::wstring& text, long long low, long long high, long long* out) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  const long long v = wcstoll(text.c_str(), &end, 10);
  if (*end != L'\0' || v < low || v > high) return false;
  *out = v;
  return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::wstring>& args, std::wstring* error) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    auto value = [&](std::wstring* out) {
      if (i + 1 >= args.size()) {
        *error = a + L" needs a value";
        return false;
      }
      *out = args[++i];
      return true;
    };
    auto number = [&](long long low, long long high, long long* out) {
      std::wstring text;
      if (!value(&text)) return false;
      if (!ToNumber(text, low, high, out)) {
        *error = a + L" needs a number from " + std::to_wstring(low) + L" to " +
                 std::to_wstring(high) + L", not \"" + text + L"\"";
        return false;
      }
      return true;
    };
    long long n = 0;
    std::wstring text;
    if (a == L"--help" || a == L"-h" || a == L"/?") {
      o.help = true;
    } else if (a == L"--pages") {
      if (!number(1, 500, &n)) return std::nullopt;
      o.samplePages = static_cast<int>(n);
    } else if (a == L"--folder") {
      if (!value(&o.folder)) return std::nullopt;
    } else if (a == L"--for") {
      if (!value(&text)) return std::nullopt;
      if (text == L"user") o.target = Target::User;
      else if (text == L"shared") o.target = Target::Shared;
      else if (text == L"legacy") o.target = Target::Legacy;
      else if (text == L"system") o.target = Target::System;
      else {
        *error = L"--for takes user, shared, legacy or system, not \"" + text + L"\"";
        return std::nullopt;
      }
    } else if (a == L"--user") {
      if (!value(&text)) return std::nullopt;
      o.user = text;
    } else if (a == L"--session") {
      if (!number(0, 0x7fffffff, &n)) return std::nullopt;
      o.session = static_cast<DWORD>(n);
    } else if (a == L"--device") {
      if (!value(&o.device)) return std::nullopt;
    } else if (a == L"--document") {
      if (!value(&o.document)) return std::nullopt;
    } else if (a == L"--ansi") {
      o.ansi = true;
    } else if (a == L"--omit") {
      if (!value(&text)) return std::nullopt;
      o.omit.push_back(text);
    } else if (a == L"--jobs") {
      if (!number(1, 10000, &n)) return std::nullopt;
      o.jobs = static_cast<int>(n);
    } else if (a == L"--no-signal") {
      o.signal = false;
    } else if (a == L"--wait") {
      if (!number(0, 3600000, &n)) return std::nullopt;
      o.waitMs = static_cast<DWORD>(n);
    } else if (a == L"--kill") {
      o.kill = true;
    } else if (a == L"--quiet") {
      o.quiet = true;
    } else if (a.size() > 1 && a[0] == L'-' && a[1] == L'-') {
      *error = L"unknown option " + a;
      return std::nullopt;
    } else {
      o.emfFiles.push_back(a);
    }
  }
  if (o.jobs > 1 && !o.waitMs) o.waitMs = 30000;
  return o;
}

}  // namespace spool
