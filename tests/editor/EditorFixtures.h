#pragma once

#include "BoardImage.h"
#include "Editor.h"
#include "Form.h"
#include "MemoryMap.h"

#include <initializer_list>
#include <utility>

// A board image as a board in normal use holds it: every word well formed,
// nothing set, blank tags in the family's code.
inline BoardImage plainImage(const QString& blankTagWord = QStringLiteral("5454"))
{
    BoardImage image;
    for (int i = 0; i <= MemoryMap::kLastFileWord; ++i)
        image.setWord(i, QStringLiteral("0000"));
    image.setWord(MemoryMap::kHeader, QStringLiteral("00E5"));
    image.setWord(7, QStringLiteral("000F"));
    image.setWord(9, QStringLiteral("000F"));
    image.setWord(11, QStringLiteral("000F"));
    image.setWord(23, QStringLiteral("000F"));
    image.setWord(MemoryMap::kFixed41, QStringLiteral("FF00"));
    for (int g = 0; g < MemoryMap::kGroupCount; ++g)
        image.setWord(MemoryMap::groupCodeWord(g), QStringLiteral("000F"));
    for (int i = MemoryMap::kFirstSpeedDial; i <= 97; ++i)
        image.setWord(i, QStringLiteral("FFFF"));
    image.setWord(MemoryMap::kOptionBits, QStringLiteral("FF00"));
    for (int i = MemoryMap::kFirstGroupTag; i <= 249; ++i)
        image.setWord(i, i == MemoryMap::kSpare179 ? QStringLiteral("1234") : blankTagWord);
    image.setWord(MemoryMap::kEndMark, QStringLiteral("FFFF"));
    return image;
}

inline void setWords(BoardImage& image, std::initializer_list<std::pair<int, const char*>> words)
{
    for (const auto& [i, w] : words)
        image.setWord(i, QString::fromLatin1(w));
}

// The window right after choosing a product from the menu.
inline Form formFor(int product)
{
    Form form = Form::designTime();
    Editor::mnuProduct_Click(form, product);
    return form;
}
