#pragma once

#include "BoardImage.h"

#include <QString>

#include <vector>

// Two configurations side by side, setting by setting, as the window would show
// them: each image goes into its own copy of the window (design time, the
// product's profile, UpdateGUI) and every editing control whose value differs is
// listed, in the order of the window (FormControls::all()). A word 0..lastWord
// that differs without any control showing the difference (the fixed words 0, 24,
// 41, 250, the spare word 179, the high digits of word 98, the tag words of a
// product without tags, a tone number under "Carrier" ...) follows as "word N".
// Used by `vireo diff`, the verify after a write and the window's compare.
namespace Compare {

struct Difference {
    QString setting; // "Group Codes, row 3", "Primary Code - ESN", "word 179"
    QString textA;   // as the control shows it; "set"/"clear" for a check box; the raw word for "word N"
    QString textB;
    QString control; // the control's name ("GroupCode(3)"); empty for a word
    int word = -1;   // the word of a "word N" entry; -1 for a control
};

// `product` is 1..Product::kCount; `lastWord` at most 300 (250 for files, N for a board).
std::vector<Difference> differences(const BoardImage& a, const BoardImage& b, int product, int lastWord);

// The words a control's value comes from ("PrimaryCode" -> 6, 7); empty for
// controls that show no word.
std::vector<int> wordsOf(const QString& controlName);

// A line for people, "setting: A<separator>B<after>" ("Group Codes, row 3: 1234 on
// file, 1235 on board"); an empty text is shown as (blank).
QString describe(const Difference& d, const QString& separator, const QString& after = {});

} // namespace Compare
