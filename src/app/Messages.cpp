#include "Messages.h"

#include "DataFile.h"

#include <QMessageBox>

namespace Messages {

namespace {

Sink& installedSink()
{
    static Sink sink;
    return sink;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Stop:
        return QMessageBox::Critical;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        break;
    }
    return QMessageBox::Warning;
}

void modalBox(QWidget* parent, const Message& message)
{
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(boxIcon(message.icon), message.title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

void show(QWidget* parent, const Message& message)
{
    if (const Sink& sink = installedSink())
        sink(parent, message);
    else
        modalBox(parent, message);
}

Sink setSink(Sink sink)
{
    Sink previous = std::move(installedSink());
    installedSink() = std::move(sink);
    return previous;
}

QString lines(std::initializer_list<QString> parts)
{
    QStringList list(parts);
    return list.join(QStringLiteral("\r\n"));
}

void errorMessage(QWidget* parent, const QString& text)
{
    show(parent, {kErrorTitle, text, Icon::Exclamation});
}

void invalidTervaloFile(QWidget* parent)
{
    errorMessage(parent, DataFile::kInvalidFileMessage);
}

void transferCancelled(QWidget* parent)
{
    errorMessage(parent, lines({QStringLiteral("Data Transfer Cancelled..."),
                                QStringLiteral("Logic Board Power must be re-cycled.")}));
}

void commLinkError(QWidget* parent, const QString& reason)
{
    QString text = LinkMessages::kCommLinkError;
    if (!reason.isEmpty())
        text += QStringLiteral("\r\n\r\n") + reason;
    show(parent, {kCommTitle, text, Icon::Stop});
}

void invalidPassword(QWidget* parent)
{
    show(parent, {kCommTitle, LinkMessages::kInvalidPassword, Icon::Stop});
}

void invalidSerialPort(QWidget* parent, const QString& reason)
{
    QString text = QStringLiteral("Invalid Serial Port");
    if (!reason.isEmpty())
        text += QStringLiteral("\r\n") + reason;
    show(parent, {kCommTitle, text, Icon::Stop});
}

void linkBusy(QWidget* parent)
{
    show(parent, {kCommTitle, kLinkBusy, Icon::Stop});
}

} // namespace Messages
