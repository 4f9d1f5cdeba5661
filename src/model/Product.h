#pragma once

#include <QString>

#include <optional>

// The five board models of the product menu (index 1..5, as the menu counts them)
// and what each decides: line settings, dialogue family, words transferred,
// default data file, header word and tag encoding.
enum class BoardFamily { Alinco, Icom, Vertex };

struct ProductInfo {
    int index;                  // 1..5
    const char* caption;        // product menu item
    const char* shortName;      // lblProduct
    const char* serialSettings; // "4800,n,8,2"
    BoardFamily family;
    int lastWord;               // N: words 0..N travel to and from the board
    const char* defaultFile;    // in the working directory
    const char* headerWord;     // word 0 as the editor writes it
    bool tagsOnBoard;           // alpha tags and locks offered (products 3 and 4)
};

namespace Product {

constexpr int kFirst = 1;
constexpr int kLast = 5;

bool isValid(int index);
// Index 1..5; anything else is a programming error (checked).
const ProductInfo& info(int index);
// The product menu's numeric test of a stored value: "3" and "3.0" are product 3;
// text that is not a number, or a number outside 1..5, is no product.
std::optional<int> fromValue(const QString& value);
QString familyName(BoardFamily family);

} // namespace Product
