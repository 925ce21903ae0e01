#include "test_emf.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "w32/strings.h"

namespace {
template <typename T>
void Put(std::vector<unsigned char>& out, const T& value) {
  const auto* p = reinterpret_cast<const unsigned char*>(&value);
  out.insert(out.end(), p, p + sizeof(T));
}
}  // namespace

namespace {

// Writes the header and `records` (each a complete EMF record), then EOF.
bool WriteEmf(const std::string& path, long deviceWidth, long deviceHeight,
              long micrometresWidth, long micrometresHeight,
              const std::vector<unsigned char>& records, DWORD recordCount, WORD handles) {
  EMREOF eof = {};
  eof.emr.iType = EMR_EOF;
  eof.emr.nSize = sizeof(eof);
  eof.offPalEntries = sizeof(EMREOF) - sizeof(DWORD);
  eof.nSizeLast = sizeof(eof);

  ENHMETAHEADER h = {};
  h.iType = EMR_HEADER;
  h.nSize = sizeof(h);
  h.rclBounds = {0, 0, deviceWidth - 1, deviceHeight - 1};
  h.rclFrame = {0, 0, micrometresWidth / 10 - 1, micrometresHeight / 10 - 1};
  h.dSignature = ENHMETA_SIGNATURE;
  h.nVersion = 0x10000;
  h.nBytes = static_cast<DWORD>(sizeof(h) + records.size() + sizeof(eof));
  h.nRecords = recordCount + 2;
  h.nHandles = handles;
  h.szlDevice = {deviceWidth, deviceHeight};
  h.szlMillimeters = {micrometresWidth / 1000, micrometresHeight / 1000};
  h.szlMicrometers = {micrometresWidth, micrometresHeight};

  std::vector<unsigned char> bytes;
  Put(bytes, h);
  bytes.insert(bytes.end(), records.begin(), records.end());
  Put(bytes, eof);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

EMRRECTANGLE RectangleRecord(const RECTL& box) {
  EMRRECTANGLE rect = {};
  rect.emr.iType = EMR_RECTANGLE;
  rect.emr.nSize = sizeof(rect);
  rect.rclBox = box;
  return rect;
}

}  // namespace

bool WriteTestEmf(const std::string& path, long deviceWidth, long deviceHeight,
                  long micrometresWidth, long micrometresHeight) {
  std::vector<unsigned char> records;
  Put(records, RectangleRecord({deviceWidth / 10, deviceHeight / 10, deviceWidth / 2, deviceHeight / 2}));
  return WriteEmf(path, deviceWidth, deviceHeight, micrometresWidth, micrometresHeight, records, 1,
                  1);
}

bool WriteFilledEmf(const std::string& path, long deviceWidth, long deviceHeight,
                    long micrometresWidth, long micrometresHeight, COLORREF colour,
                    const RECTL& box) {
  EMRCREATEBRUSHINDIRECT brush = {};
  brush.emr.iType = EMR_CREATEBRUSHINDIRECT;
  brush.emr.nSize = sizeof(brush);
  brush.ihBrush = 1;
  brush.lb.lbStyle = BS_SOLID;
  brush.lb.lbColor = colour;
  EMRSELECTOBJECT select = {};
  select.emr.iType = EMR_SELECTOBJECT;
  select.emr.nSize = sizeof(select);
  select.ihObject = 1;
  EMRSELECTOBJECT nullPen = select;
  nullPen.ihObject = 0x80000000u | NULL_PEN;  // a stock object
  std::vector<unsigned char> records;
  Put(records, brush);
  Put(records, select);
  Put(records, nullPen);
  Put(records, RectangleRecord(box));
  return WriteEmf(path, deviceWidth, deviceHeight, micrometresWidth, micrometresHeight, records, 4,
                  2);
}

std::string MakeScratchFolder(const std::string& name) {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "scrivo_conv_" + name + "_" +
                             std::to_string(::GetCurrentProcessId()) + "\\";
  RemoveTree(folder);
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE f = ::FindFirstFileA((folder + "*").c_str(), &fd);
  if (f != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(folder + name + "\\");
      else ::DeleteFileA((folder + name).c_str());
    } while (::FindNextFileA(f, &fd));
    ::FindClose(f);
  }
  ::RemoveDirectoryA(folder.c_str());
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteJobFile(const std::string& path, const std::string& name,
                  const std::vector<std::string>& pages) {
  std::ofstream out(path);
  out << "[Device]\nDeviceName=Scrivo\n[Document]\nName=" << name
      << "\nHorizontalResolution=600\nOrientation=1\nPaperSize=9\nPaperLength=2970\n"
         "PaperWidth=2100\nJobID=7\n[EMF]\nCount="
      << pages.size() << "\n";
  for (size_t i = 0; i < pages.size(); ++i) out << "File" << i << "=" << pages[i] << "\n";
}
