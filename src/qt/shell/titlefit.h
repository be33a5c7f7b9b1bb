#pragma once
// Window titles are never cut: when a window is shown narrower than its title needs
// (the title's text in the title bar's font, the icon and the three buttons of the
// frame), it is widened to fit, within the largest window allowed. Installed once for
// the application by the shell.
#include <QString>

class QWidget;

namespace accise {

// The width a window needs to show `title` whole in its title bar.
int widthForTitle(const QWidget* window, const QString& title);
void installTitleFit(int maxWindowWidth);

} // namespace accise
