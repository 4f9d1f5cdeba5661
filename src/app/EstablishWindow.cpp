#include "EstablishWindow.h"

#include "WindowDesign.h"

#include <QLabel>

EstablishWindow::EstablishWindow(QWidget* parent) : QWidget(parent, kSmallWindowFlags)
{
    setObjectName(QStringLiteral("frmEstablish"));
    setWindowTitle(QStringLiteral("Communications Link"));
    centreOnFirstShow(this);
    setFixedSize(widthForTitle(windowTitle(), twips(3255)), twips(735));
    setFont(boardFont());
    auto* label = new QLabel(QStringLiteral("Communications Link is Established"), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(rect());
    label->setAlignment(Qt::AlignCenter);

    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(kShownMs);
    connect(&hideTimer_, &QTimer::timeout, this, &EstablishWindow::hideNotice);
}

void EstablishWindow::showNotice()
{
    show();
    raise();
    hideTimer_.start();
}

void EstablishWindow::hideNotice()
{
    hideTimer_.stop();
    hide();
}
