// The pieces of a job thread's work that stand on their own: the job value,
// the hand-off settings, command lines and the ANSI transfer block.
#pragma once
#include <windows.h>
#include <array>
#include <optional>
#include <string>

#include "job_thread.h"
#include "w32/registry.h"

namespace agent {

// The job value's name tried first: "Print Job" on legacy Windows, otherwise
// the user name (print event) or "Shared" (shared print event). "SYSTEM" is
// tried after it.
std::wstring JobValueName(JobSource source, bool legacy, const std::wstring& userName);

// Reads a REG_SZ job value of at most 259 characters (a 520-byte buffer);
// a longer one, or one of another type, counts as missing. `error` gets the
// registry error of the read.
std::optional<std::wstring> ReadJobValue(HKEY key, const std::wstring& name, LONG* error);

struct HandoffSettings {
  std::wstring clientApplication;
  DWORD transferMode = 0;
  std::wstring targetClass;
  std::wstring targetTitle;
  std::wstring clipboardFormat;
  DWORD messageId = 0;
};
// The six hand-off values; a missing one, or a text over 259 characters,
// keeps its default.
HandoffSettings ReadHandoffSettings(const w32::RegKey& key);

// "Client Application" in double quotes when it holds a blank and does not
// begin with a double quote already.
std::wstring ClientCommand(const std::wstring& clientApplication);

// The agent's folder, up to and including its last backslash.
std::wstring AgentFolder();

// `folder` + `program` + " " + `jobPath`. The program part is put in double
// quotes when the folder holds a blank, so that the system cannot take a
// part of the folder's name for the program.
std::wstring AuxiliaryCommand(const std::wstring& folder, const wchar_t* program,
                              const std::wstring& jobPath);

// The job path in the thread's ANSI code page, zero-terminated and
// zero-filled to 260 bytes; nothing when it needs more than 259 bytes or has
// characters the code page cannot hold (the receiver would get a wrong path).
using AnsiBlock = std::array<char, 260>;
std::optional<AnsiBlock> MakeAnsiBlock(const std::wstring& jobPath);
// The code page: the thread's ANSI code page from Windows 2000 on; before,
// the default ANSI code page of the thread's locale, or the system's.
UINT ThreadAnsiCodePage();

// "PreprocessingResult" of the job file is "Cancel" in any case.
bool PreprocessingCancelled(const std::wstring& jobPath);

// "Message ID" for the clipboard mode: outside 0x8000..0xBFFF it becomes 0x8000.
UINT ClipboardMessage(DWORD messageId);

}  // namespace agent
