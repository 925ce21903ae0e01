// The trace log "C:\vp_log.txt" that the agent and the converter append to.
//
// UTF-16LE; the byte-order mark is written only by the open that created the
// file. Every entry is one line "Y-MM-DD hh:mm:ss.mmm:\t<text>\r\n" with the UTC
// time. Formatting and writing happen under one lock, and each entry is
// appended at the then current end of the file in one write, so lines of
// several threads or programs never mix.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace scrivo {

// The longest line, time stamp and line break included.
inline constexpr size_t kMaxTraceLineChars = 1023;

// "C:\vp_log.txt".
std::wstring TraceLogPath();

// Opens (creating when missing) the trace log at `path`. False on failure,
// with the thread's last error set by the failing call.
bool OpenTraceLog(const std::wstring& path = TraceLogPath());
// Closes the log; entries traced afterwards are dropped.
void CloseTraceLog();
bool TraceLogIsOpen();

// Appends one entry; does nothing when the log is not open.
void TraceLine(const std::wstring& text);

// The lines one entry becomes at time `utc`. A text too long for one line of
// kMaxTraceLineChars is continued on further lines with the same time stamp:
// nothing of it is lost and every line keeps the format. A surrogate pair is
// never split. Line breaks in the text end lines as well (a break at the very
// end adds no empty line), for the same reason.
std::vector<std::wstring> FormatTraceLines(const SYSTEMTIME& utc, const std::wstring& text);

}  // namespace scrivo
