#pragma once

#include "BoardFamily.h"
#include "LineSettings.h"

#include <QString>

#include <array>
#include <optional>
#include <string_view>

// Which of the window's option controls a product offers; the others are greyed,
// keep their values and still go into the image.
struct OptionProfile {
    bool dtmfMic;         // chkDTMFMic
    bool voiceEncryption; // chkVoiceEncryption
    bool roaming;         // chkRoaming
    bool ani;             // chkANI
    bool mandown;         // cmbMandown and its label Label4
};

// A board model of the product menu and everything that depends on it.
struct ProductInfo {
    int index;                 // its item in the product menu, counting from 1
    const char* caption;       // product menu item
    const char* shortName;     // lblProduct; also names its backups
    LineSettings line;         // the serial line's settings
    const BoardFamily& family; // dialogue and tag code
    int lastWord;              // N: words 0..N travel to and from the board
    const char* defaultFile;   // in the working directory
    const char* headerWord;    // word 0 as the editor writes it
    bool tagsOnBoard;          // group and speed-dial alpha tags and the locks offered
    OptionProfile options;
};

namespace Product {

inline constexpr LineSettings k4800n82{4800, LineSettings::Parity::None, 8, LineSettings::StopBits::Two};
inline constexpr LineSettings k9600n82{9600, LineSettings::Parity::None, 8, LineSettings::StopBits::Two};
inline constexpr OptionProfile kNoOptions{false, false, false, false, false};

// The product menu, in its order; menus, loops and help texts go by this table.
// A new board model is one row here and, when it has one of its own, its default data file.
// One row a product, as written by hand:
// clang-format off
inline constexpr std::array kAll{
    ProductInfo{1, "Alinco EJ-39D", "EJ-39D", k4800n82, BoardFamily::Alinco, 98, "default.tv2", "00E5", false,
                kNoOptions},
    ProductInfo{2, "Icom UT-105", "UT-105", k9600n82, BoardFamily::Icom, 98, "defaulti.tv2", "00E5", false,
                kNoOptions},
    ProductInfo{3, "Icom UT-117 (Vireo)", "UT-117", k9600n82, BoardFamily::Icom, 249, "defaulti.tv2", "00E5", true,
                {false, true, true, true, true}},
    ProductInfo{4, "Vertex VT-60 (Vireo)", "VT-60", k4800n82, BoardFamily::Vertex, 249, "default.tv2", "20E5", true,
                {true, true, true, true, true}},
    ProductInfo{5, "Vertex VTP-50", "VTP-50", k4800n82, BoardFamily::Vertex, 98, "default.tv2", "00E5", false,
                kNoOptions},
};
// clang-format on

inline constexpr int kCount = static_cast<int>(kAll.size());

constexpr bool rowsInMenuOrder()
{
    for (int k = 0; k < kCount; ++k) {
        if (kAll[static_cast<std::size_t>(k)].index != k + 1)
            return false;
    }
    return true;
}
static_assert(rowsInMenuOrder(), "a product's index is its row in the table, counting from 1");

constexpr bool familiesListed()
{
    for (const ProductInfo& p : kAll) {
        bool listed = false;
        for (const BoardFamily* family : kBoardFamilies)
            listed = listed || std::string_view(family->name) == p.family.name;
        if (!listed)
            return false;
    }
    return true;
}
static_assert(familiesListed(), "a product whose family is not in kBoardFamilies");

bool isValid(int index);
// Index 1..kCount; anything else is a programming error (checked).
const ProductInfo& info(int index);
// The product menu's numeric test of a stored value: "3" and "3.0" are product 3;
// text that is not a number, or a number that is no product's index, is no product.
std::optional<int> fromValue(const QString& value);

// For help texts, from the table. "1..5": the product menu's indexes.
QString numbers();
// "N = 98, or 249 for products 3 and 4": the last word N of each product, the one
// most products share first.
QString lastWordNote();

} // namespace Product
