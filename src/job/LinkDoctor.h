#pragma once

#include "LinkContext.h"
#include "PortMap.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// "Diagnose Link..." and vireo doctor: the link to the board taken apart layer by
// layer (the device, opening it, an answer, the family's answer, the access code),
// each step passed or failed with what was seen and what to do. One function for
// the window (on the link's thread) and vireo.
namespace LinkDoctor {

enum class Step { Port, Opening, Answer, FamilyAnswer, AccessCode };
inline constexpr int kSteps = 5;

struct StepResult {
    Step step;
    bool passed = false;
    QString seen;   // what the doctor found, for people
    QString advice; // what to do about it; empty when the step passed
};

// How the doctor ended, as ping's exit statuses tell it.
enum class End {
    AllPassed,
    PortFailed,  // the device or opening it (vireo: 5)
    NoAnswer,    // no answer, or not the family's (vireo: 1)
    CodeRefused, // (vireo: 3)
    Cancelled,   // (vireo: 4)
};

struct Request {
    int product = 1;
    QString portName = {}; // "COM1" or a device path
    PortMap portMap = {};
    QString accessCode = {};
    QString sysfs = QStringLiteral("/sys"); // the system's device tree
};

struct Report {
    Request request;
    std::vector<StepResult> steps;
    End end = End::AllPassed;
    // The doctor's own traffic on the port, one event a line:
    // "+0.258 s  RX     E5 0D 0A" (OPEN, SET, CLOSE, TX, RX).
    QStringList trace;
};

// Runs the steps in order over ctx.port, whose name must already be set, and leaves
// the port as it found it: closed, or open again with the product's settings.
// `stepDone`, when given, hears of each step as it ends, on the caller's thread; the
// context is then told a DoctorStep (its step: the steps reported so far, of kSteps).
// A cancel is noticed between steps and between the wake-ups.
Report run(LinkContext& ctx, const Request& request, const std::function<void(const StepResult&)>& stepDone = {});

// "The port", "Opening the port", ...
QString stepTitle(Step step);
// One step as text: "3. An answer at all: FAILED", then what was seen and what to do, indented.
QString stepText(const StepResult& step);
// The steps as text, then how the doctor ended ("Every step passed.").
QString stepsText(const Report& report);
// One text for support: the program's and Qt's versions, the operating system, the
// serial ports, the steps and the trace.
QString diagnostics(const Report& report);

} // namespace LinkDoctor
