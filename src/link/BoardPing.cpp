#include "BoardPing.h"

#include "Primitives.h"

std::optional<QByteArray> wakeBoard(LinkContext& ctx, const PingRules& rules)
{
    // 1. Drop stale bytes (a closed port fails here, at the first access).
    Input(ctx);
    // 2. Wake the board.
    if (!Send(ctx, rules.wakeUp).ok())
        return std::nullopt;
    // 3. An answer that has not arrived by now counts as none.
    Sleep(ctx, rules.answerMillis);
    const QByteArray answer = Input(ctx);
    if (ctx.port.hasFailed())
        return std::nullopt;
    return answer;
}

PingResult pingBoard(LinkContext& ctx, const PingRules& rules, PingAnswers* answers)
{
    using Outcome = PingResult::Outcome;
    const auto portFailed = [&ctx] { return PingResult{Outcome::PortError, ctx.port.errorMessage()}; };

    // 1..3. Wake the board and take its answer.
    const std::optional<QByteArray> wakeAnswer = wakeBoard(ctx, rules);
    if (!wakeAnswer)
        return portFailed();
    if (answers)
        answers->wakeUp = *wakeAnswer;
    // 4. Is it the family's?
    if (!rules.wakeUpAccepted(*wakeAnswer))
        return {Outcome::LinkError, {}};
    // 5. Let the board settle and drop whatever else it said.
    Sleep(ctx, rules.pauseMillis);
    Input(ctx);
    // 6. Hand over the access code.
    if (!Send(ctx, rules.accessCode).ok())
        return portFailed();
    // 7, 8. Its verdict.
    Sleep(ctx, rules.answerMillis);
    const QByteArray codeAnswer = Input(ctx);
    if (ctx.port.hasFailed())
        return portFailed();
    if (answers)
        answers->code = codeAnswer;
    if (!rules.codeAccepted(codeAnswer))
        return {Outcome::CodeRefused, {}};
    // 9. The caller shows the notice of an established link.
    return {Outcome::Established, {}};
}
