#include "ScriptedPort.h"

#include <limits>

void ScriptedPort::onSent(const QByteArray& trigger, const QList<Piece>& pieces)
{
    rules_.push_back({trigger, pieces});
}

void ScriptedPort::onSent(const QByteArray& trigger, const QByteArray& reply, qint64 afterMillis)
{
    onSent(trigger, QList<Piece>{{afterMillis, reply}});
}

void ScriptedPort::arriveAt(qint64 millis, const QByteArray& bytes)
{
    arrivals_.emplace(millis * 1000, bytes);
}

void ScriptedPort::failAt(qint64 millis, const QString& why, const QString& system)
{
    failAt_ = millis * 1000;
    failWhy_ = why;
    failSystem_ = system;
}

void ScriptedPort::cancelAt(qint64 millis, CancelToken& token)
{
    cancelAt_ = millis * 1000;
    cancel_ = &token;
}

QByteArray ScriptedPort::sentBytes() const
{
    QByteArray bytes;
    for (const SentByte& s : sent_)
        bytes.append(s.byte);
    return bytes;
}

qint64 ScriptedPort::shortestGapMicros() const
{
    qint64 shortest = std::numeric_limits<qint64>::max();
    for (std::size_t k = 1; k < sent_.size(); ++k)
        shortest = std::min(shortest, sent_[k].atMicros - sent_[k - 1].atMicros);
    return shortest;
}

bool ScriptedPort::doOpen()
{
    open_ = true;
    error_.clear();
    systemError_.clear();
    failAt_.reset(); // plugged in again
    return true;
}

void ScriptedPort::doClose()
{
    open_ = false;
    error_.clear();
    systemError_.clear();
}

void ScriptedPort::catchUp()
{
    const qint64 now = clock_.nowMicros();
    if (cancelAt_ && now >= *cancelAt_)
        *cancel_ = true;
    if (failAt_ && now >= *failAt_ && open_ && error_.isEmpty()) {
        error_ = failWhy_;
        systemError_ = failSystem_;
        open_ = false;
    }
    while (!arrivals_.empty() && arrivals_.begin()->first <= now) {
        received_ += arrivals_.begin()->second;
        arrivals_.erase(arrivals_.begin());
    }
}

bool ScriptedPort::usable()
{
    catchUp();
    if (!error_.isEmpty())
        return false;
    if (!open_) {
        error_ = QStringLiteral("the port is not open");
        return false;
    }
    return true;
}

qint64 ScriptedPort::doBytesAvailable()
{
    return usable() ? received_.size() : 0;
}

QByteArray ScriptedPort::doReadAll()
{
    if (!usable())
        return {};
    return std::exchange(received_, {});
}

QByteArray ScriptedPort::doRead(qint64 maxBytes)
{
    if (!usable())
        return {};
    return takeFront(received_, maxBytes);
}

bool ScriptedPort::doWrite(const QByteArray& bytes)
{
    if (!usable())
        return false;
    const qint64 now = clock_.nowMicros();
    for (const char b : bytes) {
        sent_.push_back({now, b});
        sinceRule_.append(b);
        if (!rules_.empty() && sinceRule_.endsWith(rules_.front().trigger)) {
            for (const Piece& p : rules_.front().pieces)
                arrivals_.emplace(now + p.afterMillis * 1000, p.bytes);
            rules_.pop_front();
            sinceRule_.clear();
        }
    }
    return true;
}

bool ScriptedPort::doWaitForReadyRead(int ms)
{
    if (!usable())
        return false;
    qint64 until = clock_.nowMicros() + qint64(ms) * 1000;
    if (!arrivals_.empty())
        until = std::min(until, arrivals_.begin()->first);
    if (failAt_)
        until = std::min(until, std::max(*failAt_, clock_.nowMicros()));
    const qsizetype before = received_.size();
    clock_.advanceTo(until);
    return usable() && received_.size() > before;
}
