#pragma once

#include "LinkContext.h"

#include <QString>

// How a link check ended.
struct PingResult {
    enum class Outcome {
        Established, // the board took the access code
        LinkError,   // no or wrong wake-up answer: LinkMessages::kCommLinkError
        CodeRefused, // the answer to the access code says no: LinkMessages::kInvalidPassword
        PortError,   // the port failed or is closed: LinkMessages::kCommLinkError
    };
    Outcome outcome = Outcome::Established;
    QString message = {}; // the port's reason, for PortError

    bool operator==(const PingResult&) const = default;
};

// How a read or write ended. The image holds exactly the words the dialogue got to.
struct TransferResult {
    enum class End { Completed, Cancelled, Failed, TimedOut };
    End end = End::Completed;
    // Words stored into the image (read) or handed to the board (write; Icom:
    // acknowledged by it).
    int wordsDone = 0;
    QString message = {}; // why it failed or timed out

    // The result of a dialogue stopped by a step that did not end Ok.
    static TransferResult stoppedBy(const LinkStatus& status, int wordsDone)
    {
        switch (status.end) {
        case LinkStatus::End::Ok: return {End::Completed, wordsDone, {}};
        case LinkStatus::End::Cancelled: return {End::Cancelled, wordsDone, {}};
        case LinkStatus::End::PortError: return {End::Failed, wordsDone, status.message};
        case LinkStatus::End::TimedOut: return {End::TimedOut, wordsDone, status.message};
        }
        return {End::Failed, wordsDone, status.message};
    }
    static TransferResult completed(int wordsDone) { return {End::Completed, wordsDone, {}}; }
};
