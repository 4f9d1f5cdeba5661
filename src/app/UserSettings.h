#pragma once

#include <QSettings>

// The user's own options (verify after write, port mappings). Config.ini keeps only
// the port and the product, so these live in the desktop's settings store.
inline QSettings userSettings()
{
    return QSettings(QStringLiteral("Tervalo"), QStringLiteral("Vireo Logic Board Programmer"));
}

inline const QString kVerifyAfterWriteKey = QStringLiteral("verifyAfterWrite");
