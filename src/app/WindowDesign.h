#pragma once

#include <QStringList>

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

// DejaVu Sans Condensed at 11 pixels: fits the rows and columns of the board's
// windows as they were drawn.
QFont boardFont();
