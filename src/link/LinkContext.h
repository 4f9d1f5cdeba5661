#pragma once

#include "Clock.h"
#include "Port.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

#include <QString>

// Set from any thread to cancel a transfer; the dialogue notices it at its next
// wait that finds too few bytes (the Icom framed wait: at its next pass).
using CancelToken = std::atomic<bool>;

// What a job is doing, as its front end shows it.
enum class JobPhase {
    LinkCheck,  // the wake-up and the access code
    BackingUp,  // the board read into its backup before a write
    Reading,    // a read
    Writing,    // a write
    Verifying,  // the board read back after a write and compared
    DoctorStep, // "Diagnose Link...": one step of the doctor examined
};
// The phase in the technician's words: the transfer window's label and vireo's
// progress bar ("Reading Logic Board").
QString phaseText(JobPhase phase);
// The board's words come to the computer (the transfer window's pictures).
bool isReadPhase(JobPhase phase);

// One thing a job tells its front end, on the job's thread: a phase has started (its
// steps done 0), a step of it is done, or the board has fallen silent (nothing for
// kSilenceNoticeMillis) or speaks again. Every event carries the whole state.
struct JobEvent {
    enum class Kind { PhaseStarted, StepDone, SilenceChanged };
    Kind kind = Kind::StepDone;
    JobPhase phase = JobPhase::LinkCheck;
    int step = 0;    // steps done in the phase: 1, 2, ... up to maximum
    int maximum = 0; // the phase's steps in all (a transfer: N + 1)
    bool silent = false;
};

// What a dialogue runs over.
struct LinkContext {
    Port& port;
    Clock& clock;
    const CancelToken& cancel;
    // The job's events (startPhase, stepDone, tellSilence), on its own thread.
    std::function<void(const JobEvent&)> tell = {};
    // The window waits for a silent board until the user cancels; the command-line
    // tool gives up after this much time without a new byte.
    std::optional<std::chrono::milliseconds> silenceTimeout = std::nullopt;
    // Between a complete write and its read-back, when set: returns once the front end
    // is ready for the read-back (the window shows "Transfer Complete" first), false
    // when the job is to end there. Called on the job's thread.
    std::function<bool()> holdBeforeVerify = {};
    bool boardSilent = false;             // what was last told of the board's silence
    JobPhase phase = JobPhase::LinkCheck; // the phase last started
    int step = 0;                         // its steps done
    int maximum = 0;                      // and their maximum
};

// A phase starts, with `maximum` steps.
void startPhase(LinkContext& ctx, JobPhase phase, int maximum);
// One step of the phase is done.
void stepDone(LinkContext& ctx);
// The board has said nothing for a while (true), or spoke again: told when it changes.
void tellSilence(LinkContext& ctx, bool silent);

// Why a step of a dialogue ended.
struct LinkStatus {
    enum class End { Ok, Cancelled, PortError, TimedOut };

    End end = End::Ok;
    QString message = {}; // the port's reason, for PortError

    bool ok() const { return end == End::Ok; }
    bool cancelled() const { return end == End::Cancelled; }
    static LinkStatus portError(const QString& message) { return {End::PortError, message}; }
};
