#pragma once

#include <QAction>
#include <QSettings>

// The user's own options (verify after write, backup before write, port mappings). Config.ini keeps only
// the port and the product, so these live in the desktop's settings store.
inline QSettings userSettings()
{
    return QSettings(QStringLiteral("Tervalo"), QStringLiteral("Vireo Logic Board Programmer"));
}

inline const QString kVerifyAfterWriteKey = QStringLiteral("verifyAfterWrite");
inline const QString kBackUpBeforeWriteKey = QStringLiteral("backUpBeforeWrite");

// A checkable menu item that starts as the user last left it (unticked the first time).
inline void rememberTicked(QAction* action, const QString& key)
{
    action->setChecked(userSettings().value(key, false).toBool());
    QObject::connect(action, &QAction::triggered, action, [key](bool on) { userSettings().setValue(key, on); });
}
