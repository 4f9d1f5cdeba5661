#pragma once

#include <QList>
#include <QStringList>
#include <Qt>

class QFont;
class QSize;
class QTableWidget;
class QWidget;

// The windows' design: coordinates in twips, the font the 17-pixel rows are made
// for, and centring on the screen.

// The windows' design coordinates are in twips, 15 to the pixel.
constexpr int twips(int t)
{
    return (t + 7) / 15;
}

// Moves a window so that its outer frame is centred on its screen; size unchanged.
// A minimised or maximised window stays where it is.
void centreOnScreen(QWidget* window);

// Centres the window once, when it is first shown; later shows keep the place the
// user left it at.
void centreOnFirstShow(QWidget* window);

// A table the program fills and the user only reads (no cell can be edited), with
// its object name, column headings and smallest size; the caller chooses how rows
// are selected and how columns share the width.
QTableWidget* readOnlyTable(QWidget* parent, const QString& name, const QStringList& headings, const QSize& minimum);

// DejaVu Sans, semi-condensed, at 11 pixels: fits the rows and columns of the board's
// windows as they were drawn. It is the face DejaVu Sans Condensed where that is
// installed (fonts-dejavu-extra); elsewhere the system narrows DejaVu Sans, or the
// desktop's sans-serif font, to the same width.
QFont boardFont();

// Makes the faces in the folder "fonts" beside the program known to the window (the
// Windows build ships DejaVu Sans there, which Windows does not have); nothing where
// there is no such folder.
void addFontsBesideProgram();

// A small window of the program that shows for a while (the transfer window, the
// link notice): a title and a close button; nothing to minimise or maximise.
inline constexpr Qt::WindowFlags kSmallWindowFlags = Qt::Window | Qt::Dialog | Qt::CustomizeWindowHint
                                                     | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The width a small window needs for its title to show whole on a desktop's title
// bar: the title in the bold of the desktop's font beside the bar's icon and close
// button; at least `drawn`.
int widthForTitle(const QString& title, int drawn);

// Sizes the columns of a table so that every heading and every text in them shows
// whole, also in `font` (the bold of a marked row); a stretched column keeps stretching.
void fitColumns(QTableWidget* table, const QList<int>& columns, const QFont& font);
