#pragma once

#include <QString>

#include <array>

// The board codes of the alpha tags: one five-word slot (ten characters, two to
// a word) to the text of its box and back. Vertex boards use their own character
// code; Icom boards the plain single-byte code. The Alinco board has no tag code.
namespace AlphaTags {

using SlotWords = std::array<QString, 5>;

// A letter as a capital, one character at a time (never a whole-string upper-casing,
// which turns "ß" into "SS"). A Latin-1 letter whose capital lies outside Latin-1
// (ÿ, µ) stays as it is, since an Icom board could not hold the capital.
QChar capital(QChar c);

// One slot, both directions. Decoding gives what the box shows: a code the family
// has no character for (Vertex: below 0x30; Icom: 00..1F and 7F) shows as the one
// mark "\u2022" (a bullet: the window's font has it, and neither family has it as
// a character). Encoding always gives five words of four upper-case hexadecimal
// digits. `before` is the slot as the box was shown from it: a mark at position p
// of the right-aligned text keeps the code that stood there, if that is a code the
// family shows as the mark; otherwise it is a character without a board code
// (Vertex 00, Icom 3F "?"), as any other such character is.
QString vertexDecode(const SlotWords& words);
SlotWords vertexEncode(const QString& text, const SlotWords& before = {});
QString icomDecode(const SlotWords& words);
SlotWords icomEncode(const QString& text, const SlotWords& before = {});

} // namespace AlphaTags
