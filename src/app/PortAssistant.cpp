#include "PortAssistant.h"

#include "UserSettings.h"
#include "WindowDesign.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString settingsKey(int com)
{
    return QStringLiteral("ports/COM%1").arg(com);
}

} // namespace

QList<PortAssistant::PortInfo> PortAssistant::systemPorts()
{
    QList<PortInfo> ports;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts())
        ports.append({p.portName(), p.systemLocation(), p.description(), p.manufacturer(), p.serialNumber()});
    return ports;
}

PortMap PortAssistant::storedMappings()
{
    QSettings settings = userSettings();
    PortMap map;
    for (int com = 1; com <= PortMap::kPorts; ++com)
        map.remember(com, settings.value(settingsKey(com)).toString());
    return map;
}

void PortAssistant::storeMapping(int com, const QString& device)
{
    userSettings().setValue(settingsKey(com), device);
}

namespace {

QTableWidget* makeTable(QWidget* parent)
{
    QTableWidget* table =
        readOnlyTable(parent, QStringLiteral("tblPorts"),
                      {QStringLiteral("Port"), QStringLiteral("Device"), QStringLiteral("Description"),
                       QStringLiteral("Manufacturer"), QStringLiteral("Serial Number")},
                      {620, 160});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    return table;
}

QPushButton* makeButton(QWidget* parent, const char* text, const char* name)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

PortAssistant::PortAssistant(QWidget* parent, Lister lister) : QDialog(parent), lister_(std::move(lister))
{
    setObjectName(QStringLiteral("dlgOtherPort"));
    setWindowTitle(QStringLiteral("Other Port"));
    auto* layout = new QVBoxLayout(this);

    table_ = makeTable(this);
    layout->addWidget(table_);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) { selectRow(row); });

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Device path:"), this), 0, 0);
    path_ = new QLineEdit(this);
    path_->setObjectName(QStringLiteral("txtDevicePath"));
#ifdef Q_OS_WIN
    path_->setPlaceholderText(QStringLiteral("COM7, or a port name typed as is"));
#else
    path_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0, or a path typed as is"));
#endif
    grid->addWidget(path_, 0, 1, 1, 3);

    auto* find = makeButton(this, "Find New Adapter", "cmdFindNew");
    lookAgain_ = makeButton(this, "Look Again", "cmdLookAgain");
    lookAgain_->setEnabled(false);
    auto* refreshButton = makeButton(this, "Refresh", "cmdRefresh");
    grid->addWidget(find, 1, 1);
    grid->addWidget(lookAgain_, 1, 2);
    grid->addWidget(refreshButton, 1, 3);

    grid->addWidget(new QLabel(QStringLiteral("Use as:"), this), 2, 0);
    com_ = new QComboBox(this);
    com_->setObjectName(QStringLiteral("cmbUseAs"));
    for (int com = 1; com <= 4; ++com)
        com_->addItem(QStringLiteral("COM%1").arg(com));
    grid->addWidget(com_, 2, 1);
    auto* use = makeButton(this, "Use", "cmdUse");
    grid->addWidget(use, 2, 2);
    auto* closeButton = makeButton(this, "Close", "cmdClose");
    grid->addWidget(closeButton, 2, 3);
    layout->addLayout(grid);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lblStatus"));
    status_->setWordWrap(true);
    status_->setMinimumHeight(48);
    layout->addWidget(status_);

    connect(find, &QPushButton::clicked, this, &PortAssistant::findNewAdapter);
    connect(lookAgain_, &QPushButton::clicked, this, &PortAssistant::lookAgain);
    connect(refreshButton, &QPushButton::clicked, this, &PortAssistant::refresh);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(use, &QPushButton::clicked, this, [this] {
        if (devicePath().isEmpty()) {
            setStatus(QStringLiteral("Choose a port from the list or type its device path."));
            return;
        }
        emit useAs(comNumber(), devicePath());
    });
    refresh();
}

QString PortAssistant::devicePath() const
{
    return path_->text().trimmed();
}

int PortAssistant::comNumber() const
{
    return com_->currentIndex() + 1;
}

void PortAssistant::setStatus(const QString& text)
{
    QString shown = text;
    status_->setText(shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString PortAssistant::status() const
{
    return status_->text();
}

void PortAssistant::refresh()
{
    ports_ = lister_();
    table_->setRowCount(static_cast<int>(ports_.size()));
    for (int row = 0; row < ports_.size(); ++row) {
        const PortInfo& p = ports_[row];
        const QStringList cells{p.name, p.location, p.description, p.manufacturer, p.serialNumber};
        for (int column = 0; column < cells.size(); ++column)
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    if (ports_.isEmpty())
        setStatus(QStringLiteral("No serial ports found. Type the device path, or use Find New Adapter."));
}

void PortAssistant::selectRow(int row)
{
    if (row >= 0 && row < ports_.size())
        path_->setText(ports_[row].location);
}

void PortAssistant::findNewAdapter()
{
    snapshot_ = lister_();
    lookAgain_->setEnabled(true);
    setStatus(QStringLiteral("Plug the adapter in now (unplug it first if it is in), wait a few seconds, "
                             "then press Look Again."));
}

void PortAssistant::lookAgain()
{
    refresh();
    QList<int> added;
    for (int row = 0; row < ports_.size(); ++row) {
        const bool known = std::any_of(snapshot_.cbegin(), snapshot_.cend(),
                                       [&](const PortInfo& old) { return old.location == ports_[row].location; });
        if (!known)
            added.append(row);
    }
    if (added.isEmpty()) {
        setStatus(QStringLiteral("No new port yet. Check the adapter's cable and press Look Again."));
        return;
    }
    table_->setCurrentCell(added.first(), 0);
    selectRow(added.first());
    lookAgain_->setEnabled(false);
    setStatus(
        added.size() == 1
            ? QStringLiteral("New port found: %1. Choose a COM item and press Use.").arg(ports_[added.first()].location)
            : QStringLiteral("%1 new ports found; the first is selected.").arg(added.size()));
}
