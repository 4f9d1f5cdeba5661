#pragma once

#include "BoardFamily.h"
#include "BoardImage.h"
#include "Form.h"
#include "TagCodecs.h"

#include <QString>

// The 30 alpha tags (16 group tags, 14 speed-dial tags) between their five-word
// slots in the board image and the tag boxes, in the code of the board family
// (TagCodecs.h). The Alinco board has no tag conversion.
namespace AlphaTags {

// Word k of group tag g / speed-dial tag s.
SlotWords slotWords(const BoardImage& image, int firstWord);
void setSlotWords(BoardImage& image, int firstWord, const SlotWords& words);

// Boxes from the image (after showing an image) and image from the boxes (before a
// write or save), over the words the boxes were shown from, so that a mark keeps
// its code. Word 179 and everything outside the tag slots stay untouched.
void showTags(Form& form, const BoardImage& image, const TagCodec& codec);
void storeTags(const Form& form, BoardImage& image, const TagCodec& codec);

} // namespace AlphaTags

// The same for each family by its own name.
void Vertex_AlphaU(Form& form, const BoardImage& image);
void Vertex_AlphaR(const Form& form, BoardImage& image);
void Icom_alphaU(Form& form, const BoardImage& image);
void Icom_AlphaR(const Form& form, BoardImage& image);
