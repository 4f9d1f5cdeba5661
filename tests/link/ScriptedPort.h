#pragma once

#include <Clock.h>
#include <LinkContext.h>
#include <Port.h>

#include <QByteArray>
#include <QList>

#include <deque>
#include <map>
#include <optional>
#include <vector>

// A board played from a script, on virtual time. Replies are scheduled when the
// PC has sent the bytes a rule waits for; a wait for bytes moves the clock on to
// the next arrival (or by its whole timeout), so tests never sleep.
class ScriptedPort final : public Port {
public:
    struct Piece {
        qint64 afterMillis; // after the byte that completed the trigger was written
        QByteArray bytes;
    };
    struct SentByte {
        qint64 atMicros;
        char byte;
    };

    explicit ScriptedPort(VirtualClock& clock) : clock_(clock) {}

    // Rules are matched in order: once the bytes written since the previous rule
    // end with `trigger`, the pieces are scheduled.
    void onSent(const QByteArray& trigger, const QList<Piece>& pieces);
    void onSent(const QByteArray& trigger, const QByteArray& reply, qint64 afterMillis = 5);
    void arriveAt(qint64 millis, const QByteArray& bytes);
    // The line fails at that time, while the port is open; `system` is the
    // operating system's text for it.
    void failAt(qint64 millis, const QString& why, const QString& system = {});
    void cancelAt(qint64 millis, CancelToken& token);

    QByteArray sentBytes() const;
    const std::vector<SentByte>& sent() const { return sent_; }
    int unusedRules() const { return int(rules_.size()); }
    // The shortest time between two bytes sent (none: a very long time).
    qint64 shortestGapMicros() const;

    bool isOpen() const override { return open_; }
    bool hasFailed() const override { return !error_.isEmpty(); }
    QString errorMessage() const override { return error_; }
    QString systemError() const override { return systemError_; }

protected:
    bool doOpen() override;
    void doClose() override; // ends a failure, as a real port's close does
    bool doApplySettings(const LineSettings&) override { return true; }
    qint64 doBytesAvailable() override;
    QByteArray doReadAll() override;
    QByteArray doRead(qint64 maxBytes) override;
    bool doWrite(const QByteArray& bytes) override;
    bool doWaitForReadyRead(int ms) override;

private:
    struct Rule {
        QByteArray trigger;
        QList<Piece> pieces;
    };
    bool usable();
    void catchUp(); // deliver due arrivals, fail or cancel when their time has come

    VirtualClock& clock_;
    bool open_ = true;
    QString error_;
    QString systemError_;
    QByteArray received_;
    std::multimap<qint64, QByteArray> arrivals_; // micros -> bytes
    std::deque<Rule> rules_;
    QByteArray sinceRule_;
    std::vector<SentByte> sent_;
    std::optional<qint64> failAt_;
    QString failWhy_;
    QString failSystem_;
    std::optional<qint64> cancelAt_;
    CancelToken* cancel_ = nullptr;
};

// Builds a context over a scripted port and counts progress steps.
struct ScriptedLink {
    VirtualClock clock;
    ScriptedPort port{clock};
    CancelToken cancel{false};
    int steps = 0;
    LinkContext ctx{port, clock, cancel,
                    [this](const JobEvent& e) { steps += e.kind == JobEvent::Kind::StepDone ? 1 : 0; }};
};
