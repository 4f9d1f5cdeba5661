#include "BoardImage.h"

#include <string>

BoardImage::IndexError::IndexError(int index)
    : std::out_of_range("board image word index " + std::to_string(index) + " is outside 0..300"), index_(index)
{
}

const QString& BoardImage::word(int index) const
{
    if (!isValidIndex(index))
        throw IndexError(index);
    return words_[static_cast<std::size_t>(index)];
}

void BoardImage::setWord(int index, const QString& word)
{
    if (!isValidIndex(index))
        throw IndexError(index);
    words_[static_cast<std::size_t>(index)] = word;
}
