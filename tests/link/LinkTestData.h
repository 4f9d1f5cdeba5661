#pragma once

#include <BoardImage.h>

#include <QByteArray>
#include <QList>
#include <QString>

// Images the scripted boards hold and the programmer starts from.
namespace LinkTestData {

inline QString boardWord(int i)
{
    return QStringLiteral("%1").arg(i * 7 + 0x1000, 4, 16, QLatin1Char('0')).toUpper();
}

inline BoardImage filled(const QString& word)
{
    BoardImage image;
    for (int i = 0; i <= BoardImage::kLastIndex; ++i)
        image.setWord(i, word);
    return image;
}

inline BoardImage boardImage()
{
    BoardImage image;
    for (int i = 0; i <= BoardImage::kLastIndex; ++i)
        image.setWord(i, boardWord(i));
    return image;
}

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (const int v : values)
        b.append(char(v));
    return b;
}

} // namespace LinkTestData
