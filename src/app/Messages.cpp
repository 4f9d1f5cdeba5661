#include "Messages.h"

#include "DataFile.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace Messages {

namespace {

Sink& installedSink()
{
    static Sink sink;
    return sink;
}

Answerer& installedAnswerer()
{
    static Answerer answerer;
    return answerer;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Stop: return QMessageBox::Critical;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: break;
    }
    return QMessageBox::Warning;
}

QString boxText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void modalBox(QWidget* parent, const Message& message)
{
    makeBox(parent, message)->exec();
}

int modalQuestion(QWidget* parent, const Question& question)
{
    const std::unique_ptr<QMessageBox> box = makeBox(parent, question);
    box->exec();
    const QList<QAbstractButton*> buttons = box->buttons();
    const qsizetype pressed = buttons.indexOf(box->clickedButton());
    return pressed >= 0 ? static_cast<int>(pressed) : question.defaultButton;
}

} // namespace

std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Message& message)
{
    auto box = std::make_unique<QMessageBox>(boxIcon(message.icon), message.title, boxText(message.text),
                                             QMessageBox::Ok, parent);
    if (message.keepLines) {
        // The box's own label wraps long lines; a list reads better a line an item.
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setWordWrap(false);
    }
    return box;
}

std::unique_ptr<QMessageBox> makeBox(QWidget* parent, const Question& question)
{
    auto box = std::make_unique<QMessageBox>(boxIcon(question.icon), question.title, boxText(question.text),
                                             QMessageBox::NoButton, parent);
    for (const QString& caption : question.buttons)
        box->addButton(caption, QMessageBox::ActionRole);
    if (QAbstractButton* fallback = box->buttons().value(question.defaultButton)) {
        box->setDefaultButton(qobject_cast<QPushButton*>(fallback));
        box->setEscapeButton(fallback);
    }
    return box;
}

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

int ask(QWidget* parent, const Question& question)
{
    if (const Answerer& answerer = installedAnswerer())
        return answerer(parent, question);
    return modalQuestion(parent, question);
}

Answerer setAnswerer(Answerer answerer)
{
    Answerer previous = std::move(installedAnswerer());
    installedAnswerer() = std::move(answerer);
    return previous;
}

void errorMessage(QWidget* parent, const QString& text)
{
    show(parent, {kErrorTitle, text, Icon::Exclamation});
}

void invalidTervaloFile(QWidget* parent)
{
    errorMessage(parent, DataFile::kInvalidFileMessage);
}

bool reportOpen(QWidget* parent, const DataFile::LoadResult& result)
{
    if (result.error == DataFile::Error::MissingMarker) {
        invalidTervaloFile(parent);
        return false;
    }
    if (!result.ok()) {
        errorMessage(parent, QStringLiteral("The board data file was not opened.\r\n%1").arg(result.message));
        return false;
    }
    return true;
}

void transferCancelled(QWidget* parent)
{
    errorMessage(parent, LinkMessages::kTransferCancelled);
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
    show(parent, {kBusyTitle, kLinkBusy, Icon::Information});
}

void entriesRefused(QWidget* parent, const QString& what, const QStringList& entries)
{
    show(parent,
         {kErrorTitle, what + QStringLiteral("\r\n") + entries.join(QStringLiteral("\r\n")), Icon::Exclamation, true});
}

} // namespace Messages
