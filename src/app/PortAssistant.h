#pragma once

#include "PortMap.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "Other Port...": the machine's serial ports, a device path typed as is, a
// "Find New Adapter" that spots the port an adapter adds, and "Use as COMn", which
// maps the device to one of the Serial Port menu's items.
class PortAssistant : public QDialog {
    Q_OBJECT
public:
    struct PortInfo {
        QString name, location, description, manufacturer, serialNumber;
    };
    using Lister = std::function<QList<PortInfo>()>;

    // The ports QSerialPortInfo sees (pseudo-terminals are not among them).
    static QList<PortInfo> systemPorts();

    // The devices mapped in earlier runs (QSettings "ports/COMn"), remembered: a
    // device the environment names wins over them (PortMap).
    static PortMap storedMappings();
    // Stored for the next runs; the window chooses it for this one.
    static void storeMapping(int com, const QString& device);

    explicit PortAssistant(QWidget* parent = nullptr, Lister lister = systemPorts);

    QString devicePath() const;
    int comNumber() const; // 1..4
    void refresh();
    void findNewAdapter();
    void lookAgain();
    // Shown under the list: what the last mapping came to, or why the port failed.
    void setStatus(const QString& text);
    QString status() const;

signals:
    // "Use as COMn" with a device path.
    void useAs(int com, const QString& devicePath);

private:
    void selectRow(int row);

    Lister lister_;
    QList<PortInfo> ports_;
    QList<PortInfo> snapshot_;
    QTableWidget* table_ = nullptr;
    QLineEdit* path_ = nullptr;
    QComboBox* com_ = nullptr;
    QPushButton* lookAgain_ = nullptr;
    QLabel* status_ = nullptr;
};
