#pragma once

#include "DialogueResults.h"

#include <QByteArray>

#include <optional>

// The link check of every family has one shape: wake the board, give it a moment,
// look at its answer, hand it the access code, look at that answer. The families
// differ in their messages, their pauses and what an answer must look like.
struct PingRules {
    QByteArray wakeUp;     // sent paced
    QByteArray accessCode; // the code as the family frames it, sent paced
    int answerMillis;      // how long the board has to answer each message
    int pauseMillis;       // between the wake-up answer and the access code
    bool (*wakeUpAccepted)(const QByteArray& answer);
    bool (*codeAccepted)(const QByteArray& answer);
    // For people: what a wake-up answer must look like ("starts with E5").
    const char* wakeUpShape = "";
    // Any answer at all passes, so an answer cannot tell this family's board from noise.
    bool anyAnswer = false;
};

// What the board said to each message of a link check, for the link doctor.
struct PingAnswers {
    QByteArray wakeUp;
    QByteArray code;
};

// Does not open the port: a closed port ends the check with PortError.
PingResult pingBoard(LinkContext& ctx, const PingRules& rules, PingAnswers* answers = nullptr);

// The first steps of the check alone: the board's answer to the wake-up, taken as
// the check takes it; nothing when the port failed.
std::optional<QByteArray> wakeBoard(LinkContext& ctx, const PingRules& rules);
