#include "Product.h"

#include <cmath>
#include <stdexcept>

namespace Product {

bool isValid(int index)
{
    return index >= 1 && index <= kCount;
}

const ProductInfo& info(int index)
{
    if (!isValid(index))
        throw std::out_of_range("no product has this index");
    return kAll[static_cast<std::size_t>(index - 1)];
}

std::optional<int> fromValue(const QString& value)
{
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    for (const ProductInfo& p : kAll) {
        if (number == p.index)
            return p.index;
    }
    return std::nullopt;
}

} // namespace Product
