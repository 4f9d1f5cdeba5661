#pragma once

#include "DialogueResults.h"

#include <QByteArray>

// The link check of every family has one shape: wake the board, give it a moment,
// look at its answer, hand it the access code, look at that answer. The families
// differ in their messages, their pauses and what an answer must look like.
struct PingRules {
    QByteArray wakeUp;      // sent paced
    QByteArray accessCode;  // the code as the family frames it, sent paced
    int answerMillis;       // how long the board has to answer each message
    int pauseMillis;        // between the wake-up answer and the access code
    bool (*wakeUpAccepted)(const QByteArray& answer);
    bool (*codeAccepted)(const QByteArray& answer);
};

// Does not open the port: a closed port ends the check with PortError.
PingResult pingBoard(LinkContext& ctx, const PingRules& rules);
