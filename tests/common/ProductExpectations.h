#pragma once

// What the tests expect of each product of the product menu, written out by hand and
// keyed by its number. The tests go through the product table; a product added there
// needs its row here too before they pass.
#include <QtGlobal>

struct ExpectedProduct {
    int product;
    const char* shortName;   // lblProduct
    int lastWord;            // N: words 0..N travel to and from the board
    const char* defaultFile; // the default data file it starts from
    const char* headerWord;  // word 0 as the editor writes it
    bool tags;               // its boards hold the alpha tags and the locks
    const char* options;     // offered: DTMF mic, voice encryption, roaming, ANI, mandown (1: offered)
};

// clang-format off
inline constexpr ExpectedProduct kExpectedProducts[] = {
    {1, "EJ-39D", 98, "default.tv2", "00E5", false, "00000"},
    {2, "UT-105", 98, "defaulti.tv2", "00E5", false, "00000"},
    {3, "UT-117", 249, "defaulti.tv2", "00E5", true, "01111"},
    {4, "VT-60", 249, "default.tv2", "20E5", true, "11111"},
    {5, "VTP-50", 98, "default.tv2", "00E5", false, "00000"},
};
// clang-format on

// The row of `product`; a product without one gets values no test accepts, and says so.
inline ExpectedProduct expectedOf(int product)
{
    for (const ExpectedProduct& e : kExpectedProducts) {
        if (e.product == product)
            return e;
    }
    qWarning("product %d has no row in ProductExpectations.h", product);
    return {product, "", -1, "", "", false, ""};
}
