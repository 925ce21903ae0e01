// Holds one page loaded through the platform's picture service (OLE
// picture: enhanced and old metafiles, bitmaps, icons). The file is read
// with one read into memory and decoded from there.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "w32/com_ptr.h"

class CPixT {
 public:
  // Largest page file accepted (a page is an EMF of a few megabytes).
  static constexpr DWORD kMaxFileBytes = 256u * 1024u * 1024u;

  // Lets go of the old picture, then loads `path`. False for a missing,
  // empty, too large or undecodable file; no picture is held then.
  bool LoadPicture(const std::wstring& path);
  // The same from bytes in memory.
  bool LoadPictureFromMemory(const void* bytes, size_t size);
  void FreePicture() { picture_.Reset(); }

  IPicture* Picture() const { return picture_.Get(); }
  bool HasPicture() const { return picture_.Get() != nullptr; }
  // The picture's size in hundredths of a millimetre.
  SIZE HimetricSize() const;

 private:
  w32::ComPtr<IPicture> picture_;
};
