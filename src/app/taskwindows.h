#pragma once
// The program put together: every window that exists, registered in the shell's
// window registry under its handler name. A window built later is enabled by adding
// its registration to registerTaskWindows(). This is the one place that knows every
// dialog; the shell itself knows none.
#include <functional>

class QString;
class QWidget;

namespace accise {

class ScreenshotTour;
class Shell;

// Registers the windows and enables the menu entries that now have a handler.
void registerTaskWindows(Shell& shell);

// The windows no menu entry opens by itself, for the screenshot tour: the initial
// stock window on the first register, and the transmission window of a sample flow
// answered by a sample service, without message boxes.
void registerScreenshotWindows(Shell& shell, ScreenshotTour& tour);

// The screenshot tour's samples: the movement window empty, then with a load and an
// unload of the demo's year typed in (not confirmed), each in its colours.
bool screenshotSamples(QWidget* modal, const std::function<void(const QString& suffix, QWidget* widget)>& shoot);

} // namespace accise
