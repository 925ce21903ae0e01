#include "preview/pix_t.h"

#include <cstring>

#include "w32/unique_handle.h"

bool CPixT::LoadPicture(const std::wstring& path) {
  FreePicture();
  w32::KernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
      size.QuadPart > static_cast<LONGLONG>(kMaxFileBytes))
    return false;
  const DWORD bytes = static_cast<DWORD>(size.QuadPart);
  w32::GlobalMem memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* data = ::GlobalLock(memory.Get());
  if (!data) return false;
  DWORD read = 0;
  const BOOL ok = ::ReadFile(file.Get(), data, bytes, &read, nullptr);
  ::GlobalUnlock(memory.Get());
  if (!ok || read != bytes) return false;

  w32::ComPtr<IStream> stream;
  // The stream takes the memory block and frees it with itself.
  if (FAILED(::CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Put()))) return false;
  memory.Release();
  return SUCCEEDED(::OleLoadPicture(stream.Get(), static_cast<LONG>(bytes), FALSE, IID_IPicture,
                                    picture_.PutVoid())) &&
         picture_;
}

bool CPixT::LoadPictureFromMemory(const void* bytes, size_t size) {
  FreePicture();
  if (!bytes || size == 0 || size > kMaxFileBytes) return false;
  w32::GlobalMem memory(::GlobalAlloc(GMEM_MOVEABLE, size));
  if (!memory) return false;
  void* data = ::GlobalLock(memory.Get());
  if (!data) return false;
  std::memcpy(data, bytes, size);
  ::GlobalUnlock(memory.Get());
  w32::ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(memory.Get(), TRUE, stream.Put()))) return false;
  memory.Release();
  return SUCCEEDED(::OleLoadPicture(stream.Get(), static_cast<LONG>(size), FALSE, IID_IPicture,
                                    picture_.PutVoid())) &&
         picture_;
}

SIZE CPixT::HimetricSize() const {
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  if (picture_) {
    picture_->get_Width(&w);
    picture_->get_Height(&h);
  }
  return SIZE{w, h};
}
