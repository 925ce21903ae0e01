// Starts the outside settings program that sits beside the plug-in.
#pragma once

namespace drvui {

// Starts inkui2.exe from the folder of this DLL, without arguments, and does
// not wait for it. A program that is missing or fails to start is not
// reported: the button then simply does nothing.
void StartSettingsProgram() noexcept;

}  // namespace drvui
