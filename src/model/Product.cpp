#include "Product.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

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

QString numbers()
{
    return QStringLiteral("1..%1").arg(kCount);
}

namespace {

// "a", "a and b", "a, b and c".
QString andList(QStringList items)
{
    if (items.size() < 2)
        return items.join(QString());
    const QString last = items.takeLast();
    return items.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

} // namespace

QString lastWordNote()
{
    // The products of each last word, the words in the order the table first names them.
    std::vector<std::pair<int, QStringList>> words;
    for (const ProductInfo& p : kAll) {
        auto same = std::find_if(words.begin(), words.end(), [&](const auto& w) { return w.first == p.lastWord; });
        if (same == words.end())
            same = words.insert(words.end(), {p.lastWord, {}});
        same->second << QString::number(p.index);
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const auto& a, const auto& b) { return a.second.size() > b.second.size(); });
    QStringList parts{QStringLiteral("N = %1").arg(words.front().first)};
    for (std::size_t k = 1; k < words.size(); ++k) {
        const QStringList& products = words[k].second;
        parts << QStringLiteral("%1 for %2 %3")
                     .arg(words[k].first)
                     .arg(products.size() == 1 ? QStringLiteral("product") : QStringLiteral("products"),
                          andList(products));
    }
    if (parts.size() == 1)
        return parts.front();
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(", or ") + last;
}

} // namespace Product
