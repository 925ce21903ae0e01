// gdiref: renders EMF files with the system's own GDI playback into PPM
// pictures, the reference for fidelity measurements of the PDF writer.
//
//   gdiref [--dpi N] [--shrink] input.emf output.ppm
//   gdiref [--dpi N] [--shrink] --list pairs.txt   one "input<TAB>output" a line
//
// --shrink draws a frame too large for the resolution at a lower one.
// Prints one line a file: "ok<TAB>input<TAB>WxH<TAB>dpi=N" or "error<TAB>input<TAB>why".
// Exit code 0 when every file was rendered, 1 when one failed, 2 on bad usage.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "reference_playback.h"
#include "w32/strings.h"
#include "w32/unique_handle.h"

namespace {

using Job = std::pair<std::wstring, std::wstring>;

bool WriteAll(HANDLE file, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(file, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

bool WritePpm(const std::wstring& path, const gdiref::RgbImage& image) {
  w32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  const std::string head = w32::Format("P6\n%d %d\n255\n", image.width, image.height);
  return WriteAll(file.Get(), head.data(), head.size()) &&
         WriteAll(file.Get(), image.rgb.data(), image.rgb.size());
}

bool ReadListFile(const std::wstring& path, std::vector<Job>* jobs) {
  w32::KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string text;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) return false;
    jobs->emplace_back(w32::Widen(line.substr(0, tab), CP_UTF8), w32::Widen(line.substr(tab + 1), CP_UTF8));
  }
  return true;
}

void Report(const char* status, const std::wstring& input, const std::string& detail) {
  std::printf("%s\t%s\t%s\n", status, w32::Narrow(input, CP_UTF8).c_str(), detail.c_str());
  std::fflush(stdout);
}

bool RenderOne(const Job& job, int dpi, bool shrink) {
  w32::EnhMetaFile emf(GetEnhMetaFileW(job.first.c_str()));
  if (!emf) {
    Report("error", job.first, "cannot open as an enhanced metafile");
    return false;
  }
  const gdiref::PlaybackResult result = gdiref::RenderReference(emf.Get(), dpi, shrink);
  if (!result.ok) {
    Report("error", job.first, w32::Narrow(result.error, CP_UTF8));
    return false;
  }
  if (!WritePpm(job.second, result.image)) {
    Report("error", job.first, "cannot write " + w32::Narrow(job.second, CP_UTF8));
    return false;
  }
  Report("ok", job.first, w32::Format("%dx%d\tdpi=%d", result.image.width, result.image.height, result.dpi));
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: gdiref [--dpi N] [--shrink] input.emf output.ppm\n"
               "       gdiref [--dpi N] [--shrink] --list pairs.txt   (input<TAB>output a line)\n");
  return 2;
}

int Run() {
  int argc = 0;
  w32::LocalMem argvMem(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!argvMem) return Usage();
  auto** argv = static_cast<wchar_t**>(argvMem.Get());
  std::vector<std::wstring> args(argv + 1, argv + argc);

  int dpi = 96;
  bool shrink = false;
  std::vector<Job> jobs;
  std::vector<std::wstring> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--dpi" && i + 1 < args.size()) {
      dpi = _wtoi(args[++i].c_str());
      if (dpi < 1 || dpi > 2400) return Usage();
    } else if (args[i] == L"--shrink") {
      shrink = true;
    } else if (args[i] == L"--list" && i + 1 < args.size()) {
      if (!ReadListFile(args[++i], &jobs)) {
        std::fprintf(stderr, "gdiref: cannot read the list %s\n", w32::Narrow(args[i], CP_UTF8).c_str());
        return 2;
      }
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() == 2) jobs.emplace_back(positional[0], positional[1]);
  else if (!positional.empty() || jobs.empty()) return Usage();

  bool allOk = true;
  for (const Job& job : jobs) allOk = RenderOne(job, dpi, shrink) && allOk;
  return allOk ? 0 : 1;
}

}  // namespace

int main() {
  try {
    return Run();
  } catch (...) {
    std::fprintf(stderr, "gdiref: out of memory\n");
    return 1;
  }
}
