#pragma once

#include "TagCodecs.h"

#include <array>

// How a family's boards hold the alpha tags: one slot to the text of its box and back.
struct TagCodec {
    QString (*decode)(const AlphaTags::SlotWords& words);
    AlphaTags::SlotWords (*encode)(const QString& text, const AlphaTags::SlotWords& before);
};

inline constexpr TagCodec kVertexTags{AlphaTags::vertexDecode, AlphaTags::vertexEncode};
inline constexpr TagCodec kIcomTags{AlphaTags::icomDecode, AlphaTags::icomEncode};

// The boards that share one dialogue with the programmer and one tag code. Each
// product names its family; the editor converts the tags with the family's codec,
// and the link finds the family's dialogue by the family (LinkOperations.cpp).
// There is one object per family: families are told apart by identity.
struct BoardFamily {
    const char* name;     // "Vertex"
    const TagCodec* tags; // none: the editor leaves the tag words as they are
    // The wake-up its boards answer, as its bytes: families that give the same one
    // share it, and the link doctor says that their boards' answer cannot tell them
    // apart. The bytes sent are the dialogue's (LinkOperations.cpp).
    const char* wakeUp;

    static const BoardFamily Vertex;
    static const BoardFamily Alinco;
    static const BoardFamily Icom;

    bool operator==(const BoardFamily& other) const { return this == &other; }
};

inline constexpr BoardFamily BoardFamily::Vertex{"Vertex", &kVertexTags, "E5 2C"};
inline constexpr BoardFamily BoardFamily::Alinco{"Alinco", nullptr, "E5 2C"};
inline constexpr BoardFamily BoardFamily::Icom{"Icom", &kIcomTags, "FE FE EE EF E8 20 24 00 00 00 FD"};

// Every family, in the order the program lists them ("vertex, alinco or icom").
inline constexpr std::array kBoardFamilies{&BoardFamily::Vertex, &BoardFamily::Alinco, &BoardFamily::Icom};
