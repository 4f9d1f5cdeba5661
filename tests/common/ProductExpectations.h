#pragma once

// What the tests expect of each product of the product menu, written out by hand and
// keyed by its number. The tests go through the product table; a product added there
// needs its row here too before they pass.
#include <QtGlobal>

struct ExpectedProduct {
    int product;
    int lastWord;            // N: words 0..N travel to and from the board
    const char* defaultFile; // the default data file it starts from
    const char* headerWord;  // word 0 as the editor writes it
};

inline constexpr ExpectedProduct kExpectedProducts[] = {
    {1, 98, "default.tv2", "00E5"},   // Alinco EJ-39D
    {2, 98, "defaulti.tv2", "00E5"},  // Icom UT-105
    {3, 249, "defaulti.tv2", "00E5"}, // Icom UT-117 (Vireo)
    {4, 249, "default.tv2", "20E5"},  // Vertex VT-60 (Vireo)
    {5, 98, "default.tv2", "00E5"},   // Vertex VTP-50
};

// The row of `product`; a product without one gets values no test accepts, and says so.
inline ExpectedProduct expectedOf(int product)
{
    for (const ExpectedProduct& e : kExpectedProducts) {
        if (e.product == product)
            return e;
    }
    qWarning("product %d has no row in ProductExpectations.h", product);
    return {product, -1, "", ""};
}
