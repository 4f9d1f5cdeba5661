#include "Product.h"

#include <array>
#include <cmath>
#include <stdexcept>

namespace {

const std::array<ProductInfo, 5> kProducts{{
    {1, "Alinco EJ-39D", "EJ-39D", "4800,n,8,2", BoardFamily::Alinco, 98, "default.tv2", "00E5", false},
    {2, "Icom UT-105", "UT-105", "9600,n,8,2", BoardFamily::Icom, 98, "defaulti.tv2", "00E5", false},
    {3, "Icom UT-117 (Vireo)", "UT-117", "9600,n,8,2", BoardFamily::Icom, 249, "defaulti.tv2", "00E5", true},
    {4, "Vertex VT-60 (Vireo)", "VT-60", "4800,n,8,2", BoardFamily::Vertex, 249, "default.tv2", "20E5", true},
    {5, "Vertex VTP-50", "VTP-50", "4800,n,8,2", BoardFamily::Vertex, 98, "default.tv2", "00E5", false},
}};

} // namespace

namespace Product {

bool isValid(int index) { return index >= kFirst && index <= kLast; }

const ProductInfo& info(int index)
{
    if (!isValid(index))
        throw std::out_of_range("product index outside 1..5");
    return kProducts[static_cast<std::size_t>(index - 1)];
}

std::optional<int> fromValue(const QString& value)
{
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    for (int k = kFirst; k <= kLast; ++k) {
        if (number == k)
            return k;
    }
    return std::nullopt;
}

QString familyName(BoardFamily family)
{
    switch (family) {
    case BoardFamily::Alinco: return QStringLiteral("Alinco");
    case BoardFamily::Icom: return QStringLiteral("Icom");
    case BoardFamily::Vertex: return QStringLiteral("Vertex");
    }
    return {};
}

} // namespace Product
