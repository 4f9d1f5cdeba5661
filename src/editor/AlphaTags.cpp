#include "AlphaTags.h"

#include "MemoryMap.h"

namespace AlphaTags {

SlotWords slotWords(const BoardImage& image, int firstWord)
{
    SlotWords words;
    for (int k = 0; k < 5; ++k)
        words[k] = image.word(firstWord + k);
    return words;
}

void setSlotWords(BoardImage& image, int firstWord, const SlotWords& words)
{
    for (int k = 0; k < 5; ++k)
        image.setWord(firstWord + k, words[k]);
}

// Group slots first, then speed-dial slots, as the board lays them out.
void showTags(Form& form, const BoardImage& image, const TagCodec& codec)
{
    for (int g = 0; g < Form::kGroups; ++g)
        form.GroupAlpha[g].text = codec.decode(slotWords(image, MemoryMap::groupTagWord(g)));
    for (int s = 0; s < Form::kSpeedDials; ++s)
        form.SpeedAlpha[s].text = codec.decode(slotWords(image, MemoryMap::speedTagWord(s)));
}

// Each slot is encoded over the words it holds now, the ones its box was shown from.
void storeTags(const Form& form, BoardImage& image, const TagCodec& codec)
{
    const auto store = [&image, &codec](int firstWord, const QString& text) {
        setSlotWords(image, firstWord, codec.encode(text, slotWords(image, firstWord)));
    };
    for (int g = 0; g < Form::kGroups; ++g)
        store(MemoryMap::groupTagWord(g), form.GroupAlpha[g].text);
    for (int s = 0; s < Form::kSpeedDials; ++s)
        store(MemoryMap::speedTagWord(s), form.SpeedAlpha[s].text);
}

} // namespace AlphaTags

void Vertex_AlphaU(Form& form, const BoardImage& image)
{
    AlphaTags::showTags(form, image, kVertexTags);
}
void Vertex_AlphaR(const Form& form, BoardImage& image)
{
    AlphaTags::storeTags(form, image, kVertexTags);
}
void Icom_alphaU(Form& form, const BoardImage& image)
{
    AlphaTags::showTags(form, image, kIcomTags);
}
void Icom_AlphaR(const Form& form, BoardImage& image)
{
    AlphaTags::storeTags(form, image, kIcomTags);
}
