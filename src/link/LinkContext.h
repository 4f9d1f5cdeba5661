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

// What a dialogue runs over.
struct LinkContext {
    Port& port;
    Clock& clock;
    const CancelToken& cancel;
    // One call per progress step, on the dialogue's own thread.
    std::function<void()> progress = {};
    // The window waits for a silent board until the user cancels; the command-line
    // tool gives up after this much time without a new byte.
    std::optional<std::chrono::milliseconds> silenceTimeout = std::nullopt;
    // Told, on the dialogue's thread, once a wait has seen no byte from the board for
    // kSilenceNoticeMillis, and again when the board's next byte arrives.
    std::function<void(bool silent)> silenceChanged = {};
    bool boardSilent = false; // what silenceChanged was last told
    // Told, on the dialogue's thread, as a read, write or read-back starts, with the
    // label and the maximum of its progress ("Reading Logic Board", N + 1).
    std::function<void(const QString& label, int maximum)> transferStarting = {};
};

// Why a step of a dialogue ended.
struct LinkStatus {
    enum class End { Ok, Cancelled, PortError, TimedOut };

    End end = End::Ok;
    QString message = {}; // the port's reason, for PortError

    bool ok() const { return end == End::Ok; }
    bool cancelled() const { return end == End::Cancelled; }
    static LinkStatus portError(const QString& message) { return {End::PortError, message}; }
};
