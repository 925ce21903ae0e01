// The machine report written at the start of each traced run.
#pragma once
#include <windows.h>
#include <string>

// The whole report: a leading line feed, then operating system and Windows
// folder, browser, clock, processor, memory and fixed disks, one part a line.
std::string BuildSystemReport();

// The operating-system name as the report writes it, from version information.
std::string OsName(const OSVERSIONINFOEXA& version);
// "<name> at <Windows folder>" (or "Info unavailable" for the folder).
std::string OsAndWindowsFolderPart();
std::string BrowserPart();
std::string ClockPart();
std::string ProcessorPart();
std::string MemoryPart();
std::string DisksPart();
