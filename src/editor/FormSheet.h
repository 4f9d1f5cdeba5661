#pragma once

#include "Form.h"

#include <QString>

#include <vector>

struct FormControl;

// The window's controls as a sheet, frame by frame in the order of the window: the
// frame's single settings, then the rows of its list under the labels that head its
// columns. `vireo dump`, the lists in CSV and the configuration report all walk
// this one sheet, so they name and order the settings as the window does. Built
// once from the control table; values and greyed states are read from a Form.
namespace FormSheet {

struct Line {
    enum class Kind {
        Setting, // one editing control of the frame
        Heading, // a label standing between rows, heading those below it ("Turbo Speedial")
        Row,     // a row of the list: its label, then its editing controls
    };
    Kind kind = Kind::Setting;
    std::vector<const FormControl*> controls;
};

struct Frame {
    QString title; // empty for the strip at the top of the window
    // The labels above the list's columns ("Group Code", "Alpha Tag"), one for each
    // editing control of a row; empty in a frame without a list.
    std::vector<const FormControl*> headings;
    std::vector<Line> lines;
    bool hasList() const { return !headings.empty(); }
};

const std::vector<Frame>& frames();

// The frames as `vireo dump` prints them for people, after its product line: each
// frame's title, its settings ("Primary Code - ESN: \"0042\"", "[x] Enable Memory
// Speed Dial"), its list in columns under their headings, greyed controls marked "*".
QString text(const Form& form);

} // namespace FormSheet
