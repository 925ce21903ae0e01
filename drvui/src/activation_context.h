// The plug-in's own activation context, made from its manifest (resource 2),
// so that the device-properties pages get the themed common controls. The
// context functions are looked up at run time: where the system has none,
// there is no context and the pages are shown without one.
#pragma once
#include <windows.h>

namespace drvui {

// The context, created on first need; nullptr when it cannot be had. A failed
// attempt is repeated at the next call.
HANDLE PluginActivationContext();
// Releases the context (when the DLL is detached from the process).
void ReleasePluginActivationContext();

}  // namespace drvui
