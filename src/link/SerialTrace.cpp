#include "SerialTrace.h"

void SerialTrace::setFile(const QString& path)
{
    const std::lock_guard lock(mutex_);
    file_ = path;
    error_.clear();
}

QString SerialTrace::file() const
{
    const std::lock_guard lock(mutex_);
    return file_;
}

QString SerialTrace::error() const
{
    const std::lock_guard lock(mutex_);
    return error_;
}

void SerialTrace::noteError(const QString& why)
{
    const std::lock_guard lock(mutex_);
    if (error_.isEmpty())
        error_ = why;
}
