#include "test_job.h"

#include <cstdio>

#include "w32/paint.h"
#include "w32/strings.h"

namespace {

void WritePage(const std::string& path, int widthMm, int heightMm, int number) {
  RECT frame{0, 0, widthMm * 100, heightMm * 100};
  HDC dc = ::CreateEnhMetaFileW(nullptr, w32::Widen(path).c_str(), &frame, L"test\0page\0");
  if (!dc) return;
  const int w = ::MulDiv(widthMm * 100, ::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, HORZSIZE) * 100);
  const int h = ::MulDiv(heightMm * 100, ::GetDeviceCaps(dc, VERTRES), ::GetDeviceCaps(dc, VERTSIZE) * 100);
  ::Rectangle(dc, 2, 2, w - 2, h - 2);
  HBRUSH blue = ::CreateSolidBrush(RGB(40, 90, 200));
  RECT band{w / 10, h / 10, w - w / 10, h / 10 + h / 12};
  ::FillRect(dc, &band, blue);
  ::DeleteObject(blue);
  const std::wstring text = w32::Format(L"Sample page %d", number);
  HFONT font = ::CreateFontW(-h / 20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  HGDIOBJ old = ::SelectObject(dc, font);
  ::TextOutW(dc, w / 10, h / 4, text.c_str(), static_cast<int>(text.size()));
  ::SelectObject(dc, old);
  ::DeleteObject(font);
  ::DeleteEnhMetaFile(::CloseEnhMetaFile(dc));
}

// Wine starts Unix programs too: ImageMagick, when present, turns the
// bitmap into a PNG beside it (name.bmp -> name.png).
void ConvertToPng(const std::string& bmpPath) {
  const wchar_t convert[] = L"Z:\\usr\\bin\\convert";
  if (::GetFileAttributesW(convert) == INVALID_FILE_ATTRIBUTES) return;
  char unixPath[1024]{};
  // The Unix form of the path, through Wine's own mapping.
  using ToUnix = char*(CDECL*)(const wchar_t*);
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
  if (!toUnix) return;
  char* bmp = toUnix(w32::Widen(bmpPath).c_str());
  if (!bmp) return;
  lstrcpynA(unixPath, bmp, sizeof(unixPath));
  ::HeapFree(::GetProcessHeap(), 0, bmp);
  std::string png(unixPath);
  png.replace(png.size() - 4, 4, ".png");
  std::wstring command = std::wstring(L"\"") + convert + L"\" \"" + w32::Widen(unixPath) +
                         L"\" \"" + w32::Widen(png) + L"\"";
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ::WaitForSingleObject(pi.hProcess, 30000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
  }
}

}  // namespace

TestJob TestJob::Make(const std::string& name, int pageCount, int widthMm, int heightMm,
                      const std::string& documentName) {
  TestJob job;
  char temp[MAX_PATH + 1]{};
  ::GetTempPathA(MAX_PATH, temp);
  job.folder = std::string(temp) + name + " " + std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryA(job.folder.c_str(), nullptr);
  std::string body =
      "[Device]\r\nDeviceName=Scrivo\r\n[Document]\r\nName=" + documentName +
      "\r\nHorizontalResolution=600\r\nOrientation=1\r\nPaperSize=9\r\nPaperLength=2970\r\n"
      "PaperWidth=2100\r\nJobID=7\r\n[EMF]\r\nCount=" + std::to_string(pageCount) + "\r\n";
  for (int i = 0; i < pageCount; ++i) {
    const std::string page = job.folder + "\\page" + std::to_string(i + 1) + ".emf";
    WritePage(page, widthMm, heightMm, i + 1);
    job.pages.push_back(page);
    body += "File" + std::to_string(i) + "=" + page + "\r\n";
  }
  job.jobPath = job.folder + "\\job.ini";
  FILE* f = std::fopen(job.jobPath.c_str(), "wb");
  if (f) {
    std::fwrite(body.data(), 1, body.size(), f);
    std::fclose(f);
  }
  return job;
}

void TestJob::Remove() const {
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, jobPath.c_str());
  for (const std::string& p : pages) ::DeleteFileA(p.c_str());
  ::DeleteFileA(jobPath.c_str());
  ::RemoveDirectoryA(folder.c_str());
}

bool SaveScreenshot(HWND window, const std::string& path) {
  RECT rc{};
  if (window) {
    ::GetWindowRect(window, &rc);
  } else {
    rc = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return false;
  w32::ClientDc screen(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
  void* bits = nullptr;
  w32::GdiObject dib(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  w32::OwnedDc dc(::CreateCompatibleDC(screen.Get()));
  if (!dib || !dc) return false;
  {
    w32::SelectScope keep(dc.Get(), dib.Get());
    ::BitBlt(dc.Get(), 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY);
  }
  ::GdiFlush();
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + stride * h;
  info.bmiHeader.biSizeImage = stride * h;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(&file, sizeof(file), 1, f);
  std::fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f);
  std::fwrite(bits, 1, stride * h, f);
  std::fclose(f);
  ConvertToPng(path);
  return true;
}
