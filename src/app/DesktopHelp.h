#pragma once

#include <QString>

// What the window finds of its installation: the help file, the manual, the
// default data files shipped with it.
namespace DesktopHelp {

inline const QString kHelpFile = QStringLiteral("PX472.chm");

// The help file in the working directory, where the program has always looked for
// it; on Windows else the one beside the program. Empty when there is none.
QString helpFile();
// The manual installed with the program, else the one beside it; empty when neither is there.
QString manualPath();
// The desktop has an application registered for .chm files.
bool desktopShowsChm();
// Where the shipped default data files are: under the install prefix on Linux,
// beside the program on Windows.
QString installedDataDir();

} // namespace DesktopHelp
