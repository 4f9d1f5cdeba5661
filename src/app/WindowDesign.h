#pragma once

class QFont;
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

// DejaVu Sans Condensed at 11 pixels: fits the rows and columns of the board's
// windows as they were drawn.
QFont boardFont();
