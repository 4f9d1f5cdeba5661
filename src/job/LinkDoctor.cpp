#include "LinkDoctor.h"

#include "BoardPing.h"
#include "LinkOperations.h"
#include "PortInspection.h"
#include "PortTrace.h"
#include "Product.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <optional>
#include <string_view>

namespace LinkDoctor {

namespace {

const QString kNothingBack = QStringLiteral(
    "Nothing comes back from the board: check the cable, the board's power, and that the board is not still busy "
    "after a cancelled transfer (switch it off and on).");
const QString kOtherFamily =
    QStringLiteral("The board does not answer the wake-up of the product chosen: step 4 says which board answers.");

QString hex(const QByteArray& bytes)
{
    return bytes.isEmpty() ? QStringLiteral("nothing") : QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString familyName(const BoardFamily& family)
{
    return QString::fromLatin1(family.name);
}

// "Alinco and Vertex boards share their wake-up: the answer cannot tell them apart.":
// the families whose rows name the wake-up `family` answers, by name; nothing when
// the wake-up is the family's own.
QString cannotTellApart(const BoardFamily& family)
{
    QStringList sharing;
    for (const BoardFamily* f : kBoardFamilies) {
        if (std::string_view(f->wakeUp) == family.wakeUp)
            sharing << familyName(*f);
    }
    if (sharing.size() < 2)
        return {};
    sharing.sort();
    const QString last = sharing.takeLast();
    return QStringLiteral("%1 and %2 boards share their wake-up: the answer cannot tell them apart.")
        .arg(sharing.join(QStringLiteral(", ")), last);
}

// "an Icom", "a Vertex".
QString withArticle(const QString& name)
{
    const bool vowel = QStringLiteral("AEIOU").contains(name.front());
    return (vowel ? QStringLiteral("an ") : QStringLiteral("a ")) + name;
}

// The doctor's own traffic: the port it is handed, with every operation noted. A run
// of writes (paced output puts one byte at a time) or of reads is one line.
class RecordingPort : public Port {
public:
    RecordingPort(Port& inner, Clock& clock) : inner_(inner), clock_(clock), start_(clock.nowMicros()) {}
    bool isOpen() const override { return inner_.isOpen(); }
    bool hasFailed() const override { return inner_.hasFailed(); }
    QString errorMessage() const override { return inner_.errorMessage(); }
    QStringList lines() const { return lines_; }

protected:
    bool doOpen() override { return noted(QStringLiteral("OPEN"), inner_.open()); }
    void doClose() override
    {
        const bool wasOpen = inner_.isOpen();
        inner_.close();
        if (wasOpen)
            note(QStringLiteral("CLOSE"), {});
    }
    bool doApplySettings(const LineSettings& s) override
    {
        const bool applied = inner_.applySettings(s);
        note(QStringLiteral("SET"), s.text() + (applied ? QString() : QStringLiteral(" refused")));
        return applied;
    }
    qint64 doBytesAvailable() override { return inner_.bytesAvailable(); }
    QByteArray doReadAll() override { return received(inner_.readAll()); }
    QByteArray doRead(qint64 maxBytes) override { return received(inner_.read(maxBytes)); }
    bool doWrite(const QByteArray& bytes) override
    {
        const bool written = inner_.write(bytes);
        if (written)
            noteBytes(QStringLiteral("TX"), bytes);
        return written;
    }
    bool doWaitForReadyRead(int ms) override { return inner_.waitForReadyRead(ms); }

private:
    bool noted(const QString& kind, bool ok)
    {
        note(kind, ok ? QStringLiteral("ok") : QStringLiteral("failed: ") + inner_.errorMessage());
        return ok;
    }
    QString stamp() const { return QStringLiteral("+%1 s").arg(double(clock_.nowMicros() - start_) / 1e6, 0, 'f', 3); }
    void note(const QString& kind, const QString& details)
    {
        lines_ << QStringLiteral("%1  %2 %3").arg(stamp(), kind.leftJustified(5), details).trimmed();
        lastKind_ = kind;
        pending_.clear();
    }
    QByteArray received(const QByteArray& bytes)
    {
        noteBytes(QStringLiteral("RX"), bytes);
        return bytes;
    }
    void noteBytes(const QString& kind, const QByteArray& bytes)
    {
        if (bytes.isEmpty())
            return;
        if (kind != lastKind_ || lines_.isEmpty()) {
            note(kind, {});
            lineStamp_ = stamp();
        }
        pending_ += bytes;
        lines_.last() = QStringLiteral("%1  %2 %3").arg(lineStamp_, kind.leftJustified(5), hex(pending_));
    }

    Port& inner_;
    Clock& clock_;
    qint64 start_;
    QStringList lines_;
    QString lastKind_;
    QString lineStamp_;
    QByteArray pending_;
};

LineSettings settingsOf(const BoardFamily& family)
{
    for (const ProductInfo& p : Product::kAll) {
        if (p.family == family)
            return p.line;
    }
    return Product::k4800n82;
}

// "A or B", "A, B or C".
QString orList(QStringList items)
{
    if (items.size() < 2)
        return items.join(QString());
    const QString last = items.takeLast();
    return items.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// "Icom UT-105 or Icom UT-117 (Vireo)": the families' products, in menu order.
QString productsOf(const QList<const BoardFamily*>& families)
{
    QStringList names;
    for (const ProductInfo& p : Product::kAll) {
        for (const BoardFamily* f : families) {
            if (p.family == *f)
                names << QString::fromLatin1(p.caption);
        }
    }
    return orList(names);
}

QString serialPortsText()
{
    QStringList ports;
    for (const PortInspection::Adapter& a : PortInspection::serialPorts())
        ports << QStringLiteral("%1 (%2)").arg(a.location, a.details());
    return ports.isEmpty() ? QStringLiteral("The system lists no serial ports.")
                           : QStringLiteral("The system lists these serial ports: %1.").arg(ports.join(", "));
}

[[maybe_unused]] QString holdersText(const PortInspection::Device& d)
{
    QStringList holders;
    for (const PortInspection::Holder& h : d.holders) {
        const QString program = h.program.isEmpty() ? QStringLiteral("a program") : h.program;
        holders << QStringLiteral("%1 (process %2)").arg(program).arg(h.pid);
    }
    if (!holders.isEmpty())
        return QStringLiteral("%1 holds it open.").arg(orList(holders).replace(" or ", " and "));
    if (d.unseenProcesses > 0)
        return QStringLiteral("No other program holds it open, of those whose open files the system shows "
                              "(%1 processes it does not).")
            .arg(d.unseenProcesses);
    return QStringLiteral("No other program holds it open.");
}

// The adapter holds what the board sends for up to its latency timer before the PC
// sees it; a board's acknowledgement, and so every word of a write, waits that long.
QString latencyText(const PortInspection::Device& d)
{
    if (!d.latencyTimerMillis)
        return {};
    const int millis = *d.latencyTimerMillis;
    if (millis <= 1)
        return QStringLiteral(" Its latency timer is %1 ms.").arg(millis);
    return QStringLiteral(" Its latency timer is %1 ms: above 1 ms, each of the board's acknowledgements waits that "
                          "long before the programmer sees it, which slows every write. The programmer asks the "
                          "driver for low latency when it opens the port; where that does not take, set the timer "
                          "to 1 ms (echo 1 | sudo tee %2).")
        .arg(millis)
        .arg(d.latencyTimerFile);
}

QString deviceSeen(const Request& r, const PortInspection::Device& d)
{
    const QString device = r.portMap.devicePathFor(r.portName);
    QString seen = device == r.portName ? device : QStringLiteral("%1 is %2").arg(r.portName, device);
    if (!d.exists)
        return seen + QStringLiteral(": there is no such device. ") + serialPortsText();
    if (d.resolved != device)
        seen += QStringLiteral(" (%1)").arg(d.resolved);
#ifdef Q_OS_WIN
    // Windows shows no owners, and which program holds a port only that one does.
    seen += d.inUse ? QStringLiteral(" is in use by another program.")
                    : QStringLiteral(": no other program holds it open.");
#else
    seen += QStringLiteral(", owner %1, group %2, mode %3; ").arg(d.owner, d.group).arg(d.mode, 4, 8, QLatin1Char('0'));
    seen +=
        QStringLiteral("%1 %2 open it. ").arg(d.user, d.mayOpen ? QStringLiteral("may") : QStringLiteral("may not"));
    seen += holdersText(d);
#endif
    seen += d.adapter ? QStringLiteral(" Adapter: %1.").arg(d.adapter->details())
                      : QStringLiteral(" The system lists no adapter behind it.");
    return seen + latencyText(d);
}

QString deviceAdvice(const PortInspection::Device& d)
{
    if (!d.exists)
        return QStringLiteral("Plug the adapter in, or choose the port it is on in the Serial Port menu "
                              "(vireo: --port).");
    if (d.inGroupNotSession)
        return QStringLiteral("%1 is in the group %2, but this session started before: log out and in again.")
            .arg(d.user, d.group);
    if (!d.mayOpen && d.groupMayOpen)
        return QStringLiteral("Join the group %1 (sudo usermod -aG %1 %2), then log out and in again.")
            .arg(d.group, d.user);
    if (!d.mayOpen)
        return QStringLiteral("Only its owner %1 may open %2: ask the administrator to let the group %3 read and "
                              "write it.")
            .arg(d.owner, d.path, d.group);
    return QStringLiteral("Close the program that holds the port, or choose another port.");
}

// The doctor at work: the port, the report being written.
class Doctor {
public:
    Doctor(LinkContext& ctx, const Request& request, const std::function<void(const StepResult&)>& stepDone)
        : port_(ctx.port, ctx.clock), ctx_{port_, ctx.clock, ctx.cancel}, outer_(ctx), stepDone_(stepDone)
    {
        report_.request = request;
        startPhase(outer_, JobPhase::DoctorStep, kSteps);
    }
    Report examine();

private:
    bool cancelled();
    void add(Step step, bool passed, const QString& seen, const QString& advice = {});
    bool checkDevice();
    bool checkOpening();
    void checkAnswers();
    std::optional<StepResult> findOtherBoard(const PingRules& tried, const QByteArray& answer);
    std::optional<QByteArray> wakeUp(const BoardFamily& family, const PingRules& rules);

    RecordingPort port_;
    LinkContext ctx_;
    LinkContext& outer_;
    const std::function<void(const StepResult&)>& stepDone_;
    Report report_;
};

void Doctor::add(Step step, bool passed, const QString& seen, const QString& advice)
{
    report_.steps.push_back({step, passed, seen, passed ? QString() : advice});
    if (stepDone_)
        stepDone_(report_.steps.back());
    ::stepDone(outer_); // the front end takes the step on its own thread
}

bool Doctor::cancelled()
{
    if (!ctx_.cancel.load())
        return false;
    report_.end = End::Cancelled;
    return true;
}

bool Doctor::checkDevice()
{
    const Request& r = report_.request;
    const PortInspection::Device d = PortInspection::inspect(r.portMap.devicePathFor(r.portName), r.sysfs);
    const bool passed = d.exists && d.mayOpen && d.holders.isEmpty() && !d.inUse;
    add(Step::Port, passed, deviceSeen(r, d), deviceAdvice(d));
    return passed;
}

bool Doctor::checkOpening()
{
    const LineSettings line = Product::info(report_.request.product).line;
    const bool opened = ctx_.port.applySettings(line) && ctx_.port.open();
    add(Step::Opening, opened, opened ? QStringLiteral("Opened at %1.").arg(line.text()) : ctx_.port.errorMessage(),
        QStringLiteral("Check that the adapter is still plugged in and that no other program took the port, "
                       "then try again."));
    return opened;
}

Report Doctor::examine()
{
    const bool wasOpen = outer_.port.isOpen();
    ctx_.port.close();
    if (!checkDevice() || (!cancelled() && !checkOpening()))
        report_.end = End::PortFailed;
    else if (!cancelled())
        checkAnswers();
    // As it was found: closed, or open with the product's settings.
    ctx_.port.close();
    ctx_.port.applySettings(Product::info(report_.request.product).line);
    if (wasOpen)
        ctx_.port.open();
    report_.trace = port_.lines();
    return report_;
}

void Doctor::checkAnswers()
{
    const Request& r = report_.request;
    const BoardFamily& family = Product::info(r.product).family;
    const PingRules rules = LinkOperations::pingRules(family, r.accessCode);
    PingAnswers answers;
    const PingResult ping = pingBoard(ctx_, rules, &answers);
    if (cancelled())
        return;
    if (ping.outcome == PingResult::Outcome::PortError) {
        add(Step::Answer, false, ping.message, QStringLiteral("Check the adapter and its cable, then try again."));
        report_.end = End::PortFailed;
        return;
    }
    const QString sent = QStringLiteral("%1 (sent at %2)").arg(hex(rules.wakeUp), Product::info(r.product).line.text());
    if (answers.wakeUp.isEmpty()) {
        // Whether anything is there at all is known only once the other families'
        // wake-ups were tried: a board of another family needs other advice.
        report_.end = End::NoAnswer;
        const std::optional<StepResult> other = findOtherBoard(rules, answers.wakeUp);
        add(Step::Answer, false,
            QStringLiteral("No answer within %1 ms to the wake-up %2.").arg(rules.answerMillis).arg(sent),
            other && other->advice != kNothingBack ? kOtherFamily : kNothingBack);
        if (other)
            add(other->step, other->passed, other->seen, other->advice);
        return;
    }
    add(Step::Answer, true, QStringLiteral("The board answers the wake-up %1 with %2.").arg(sent, hex(answers.wakeUp)));
    if (ping.outcome == PingResult::Outcome::LinkError) {
        report_.end = End::NoAnswer;
        if (const std::optional<StepResult> other = findOtherBoard(rules, answers.wakeUp))
            add(other->step, other->passed, other->seen, other->advice);
        return;
    }
    QString seen = QStringLiteral("The answer is %1 board's (one that %2).")
                       .arg(withArticle(familyName(family)), QString::fromLatin1(rules.wakeUpShape));
    if (const QString shared = cannotTellApart(family); !shared.isEmpty())
        seen += QLatin1Char(' ') + shared;
    add(Step::FamilyAnswer, true, seen);
    const bool accepted = ping.outcome == PingResult::Outcome::Established;
    add(Step::AccessCode, accepted,
        accepted ? QStringLiteral("The board accepts the access code %1.").arg(r.accessCode)
                 : QStringLiteral("The board refuses the access code %1 (its answer: %2).")
                       .arg(r.accessCode, hex(answers.code)),
        QStringLiteral("Enter the board's own access code in the Access Code box (vireo: --code CODE)."));
    if (!accepted)
        report_.end = End::CodeRefused;
}

// The wake-up of another family, at its line settings.
std::optional<QByteArray> Doctor::wakeUp(const BoardFamily& family, const PingRules& rules)
{
    ctx_.port.close();
    if (!ctx_.port.applySettings(settingsOf(family)) || !ctx_.port.open())
        return std::nullopt;
    return wakeBoard(ctx_, rules);
}

// The other families' wake-ups at their line settings, once each; one the chosen
// family shares (same bytes, same settings) is not sent again. A family that takes
// any answer at all is named only beside one whose own check took the answer.
// Returns the family's step, not yet reported; nothing when cancelled.
std::optional<StepResult> Doctor::findOtherBoard(const PingRules& tried, const QByteArray& answer)
{
    const BoardFamily& chosen = Product::info(report_.request.product).family;
    QList<const BoardFamily*> answering;
    QStringList triedText;
    std::optional<int> baud;
    for (const BoardFamily* f : kBoardFamilies) {
        const PingRules rules = LinkOperations::pingRules(*f, report_.request.accessCode);
        const bool shared = rules.wakeUp == tried.wakeUp && settingsOf(*f) == settingsOf(chosen);
        const std::optional<QByteArray> heard = shared ? std::optional<QByteArray>(answer) : wakeUp(*f, rules);
        if (cancelled())
            return std::nullopt;
        if (*f != chosen)
            triedText << QStringLiteral("%1 at %2 baud").arg(familyName(*f)).arg(settingsOf(*f).baudRate);
        if (heard && !heard->isEmpty() && rules.wakeUpAccepted(*heard) && !rules.anyAnswer) {
            answering << f;
            baud = settingsOf(*f).baudRate;
        }
    }
    if (baud) { // the families that take any answer and share the wake-up of one that answered
        for (const BoardFamily* f : kBoardFamilies) {
            const PingRules rules = LinkOperations::pingRules(*f, report_.request.accessCode);
            if (rules.anyAnswer && settingsOf(*f).baudRate == *baud && !answering.contains(f))
                answering.prepend(f);
        }
    }
    answering.removeAll(&chosen);
    const QString seen =
        QStringLiteral("%1 Tried the other families' wake-ups: %2.")
            .arg(answer.isEmpty() ? QStringLiteral("Nothing came back to the %1 wake-up.").arg(familyName(chosen))
                                  : QStringLiteral("The answer is not %1 board's (one that %2).")
                                        .arg(withArticle(familyName(chosen)), QString::fromLatin1(tried.wakeUpShape)),
                 orList(triedText).replace(" or ", " and "));
    if (answering.isEmpty()) {
        return StepResult{Step::FamilyAnswer, false, seen + QStringLiteral(" None got a board's answer."),
                          answer.isEmpty() ? kNothingBack
                                           : QStringLiteral("The board answers, but as no board family does: check "
                                                            "that the adapter and cable are the board's own, and "
                                                            "switch the board off and on.")};
    }
    QStringList names;
    for (const BoardFamily* f : answering)
        names << familyName(*f);
    QString advice = QStringLiteral("A board answers as %1 board at %2 baud: choose %3 in the Product menu.")
                         .arg(withArticle(orList(names)))
                         .arg(*baud)
                         .arg(productsOf(answering));
    if (const QString shared = cannotTellApart(*answering.front()); answering.size() > 1 && !shared.isEmpty())
        advice += QLatin1Char(' ') + shared;
    return StepResult{Step::FamilyAnswer, false, seen, advice};
}

} // namespace

Report run(LinkContext& ctx, const Request& request, const std::function<void(const StepResult&)>& stepDone)
{
    return Doctor(ctx, request, stepDone).examine();
}

QString stepTitle(Step step)
{
    switch (step) {
    case Step::Port: return QStringLiteral("The port");
    case Step::Opening: return QStringLiteral("Opening the port");
    case Step::Answer: return QStringLiteral("An answer at all");
    case Step::FamilyAnswer: return QStringLiteral("The family's answer");
    case Step::AccessCode: return QStringLiteral("The access code");
    }
    return {};
}

QString stepText(const StepResult& s)
{
    QString text = QStringLiteral("%1. %2: %3\n   %4\n")
                       .arg(int(s.step) + 1)
                       .arg(stepTitle(s.step), s.passed ? QStringLiteral("passed") : QStringLiteral("FAILED"), s.seen);
    if (!s.advice.isEmpty())
        text += QStringLiteral("   What to do: %1\n").arg(s.advice);
    return text;
}

QString stepsText(const Report& report)
{
    QString text;
    for (const StepResult& s : report.steps)
        text += stepText(s);
    if (report.end == End::Cancelled)
        return text + QStringLiteral("Cancelled.\n");
    for (const StepResult& s : report.steps) {
        if (!s.passed)
            return text + QStringLiteral("Step %1 failed.\n").arg(int(s.step) + 1);
    }
    return text + QStringLiteral("Every step passed.\n");
}

QString diagnostics(const Report& report)
{
    const Request& r = report.request;
    QString text = QStringLiteral("Vireo Logic Board Programmer %1, Qt %2 (built with %3)\n")
                       .arg(QCoreApplication::applicationVersion(), QString::fromLatin1(qVersion()),
                            QStringLiteral(QT_VERSION_STR));
    text += QStringLiteral("Operating system: %1 (%2 %3, %4)\n")
                .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
                     QSysInfo::currentCpuArchitecture());
    const QString device = r.portMap.devicePathFor(r.portName);
    text += QStringLiteral("Product: %1; port: %2; access code: %3\n\nSerial ports:\n")
                .arg(QString::fromLatin1(Product::info(r.product).caption),
                     device == r.portName ? device : QStringLiteral("%1 (%2)").arg(r.portName, device), r.accessCode);
    const QList<PortInspection::Adapter> ports = PortInspection::serialPorts();
    for (const PortInspection::Adapter& a : ports)
        text += QStringLiteral("  %1: %2\n").arg(a.location, a.details());
    if (ports.isEmpty())
        text += QStringLiteral("  none\n");
    text += QStringLiteral("\nSteps:\n") + stepsText(report) + QStringLiteral("\nSerial trace:\n");
    for (const QString& line : report.trace)
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
}

} // namespace LinkDoctor
