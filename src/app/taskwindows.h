#pragma once
// The program put together: every window that exists, registered in the shell's
// window registry under its handler name. A window built later is enabled by adding
// its registration to registerTaskWindows(). This is the one place that knows every
// dialog; the shell itself knows none.
namespace accise {

class Shell;

// Registers the windows and enables the menu entries that now have a handler.
void registerTaskWindows(Shell& shell);

} // namespace accise
