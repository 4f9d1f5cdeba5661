#pragma once

#include <QString>

// Where Help > Contents finds its help when the desktop cannot show the help file.
namespace DesktopHelp {

inline const QString kHelpFile = QStringLiteral("PX472.chm");

// The manual installed with the program, else the one beside it; empty when neither is there.
QString manualPath();
// The desktop has an application registered for .chm files.
bool desktopShowsChm();

} // namespace DesktopHelp
