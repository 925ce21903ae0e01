// The three looks of a button picture (plain, highlight, disabled) made from
// one bitmap resource, as image lists with magenta transparent.
#pragma once
#include <windows.h>

#include "w32/ui_handles.h"

constexpr COLORREF kTransparentColor = 0xFF00FF;  // magenta in every client picture

enum ButtonLook { kLookPlain = 0, kLookHighlight = 1, kLookDisabled = 2 };

struct CButtonLooks {
  w32::ImageListHandle lists[3];
  SIZE cell{0, 0};

  // Loads `resourceId` three times and makes the looks. `cellWidth` 0 takes
  // the whole picture as one image (its own size).
  bool Load(HINSTANCE instance, int resourceId, int cellWidth = 0, int cellHeight = 0);
  int Count() const;
  HIMAGELIST List(ButtonLook look) const { return lists[look].Get(); }
};

// An image list of the three looks of picture `index` of `looks`, in the
// order a picture button uses them: 0 highlight (at rest), 1 plain
// (hovered), 2 disabled.
w32::ImageListHandle MakeButtonImageList(const CButtonLooks& looks, int index);
