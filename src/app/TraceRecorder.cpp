#include "TraceRecorder.h"

#include "Messages.h"
#include "SerialTrace.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QWidget>

TraceRecorder::TraceRecorder(QWidget* window, QAction* menuItem, PathChooser choosePath)
    : QObject(window), window_(window), menuItem_(menuItem), choosePath_(std::move(choosePath)),
      trace_(std::make_shared<SerialTrace>())
{
    connect(menuItem_, &QAction::triggered, this, &TraceRecorder::toggled);
}

void TraceRecorder::toggled(bool on)
{
    if (!on) {
        trace_->setFile({});
        return;
    }
    const QString path = choosePath_();
    if (path.isEmpty()) {
        menuItem_->setChecked(false);
        return;
    }
    // Tried here, so a folder that cannot take the file is named at once.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        menuItem_->setChecked(false);
        Messages::errorMessage(window_, QStringLiteral("The serial trace was not started.\r\n%1: %2")
                                            .arg(QDir::toNativeSeparators(path), probe.errorString()));
        return;
    }
    probe.close();
    trace_->setFile(path);
}

void TraceRecorder::reportFailure(bool closing)
{
    const QString why = trace_->error();
    if (why.isEmpty() || closing || !menuItem_->isChecked())
        return;
    // The board command itself went on untraced.
    trace_->setFile({});
    menuItem_->setChecked(false);
    Messages::errorMessage(window_, QStringLiteral("The serial trace stopped.\r\n%1").arg(why));
}
