#include "LinkContext.h"

QString phaseText(JobPhase phase)
{
    switch (phase) {
    case JobPhase::LinkCheck: return QStringLiteral("Establish Comm Link to Logic Board");
    case JobPhase::BackingUp: return QStringLiteral("Backing Up Logic Board");
    case JobPhase::Reading: return QStringLiteral("Reading Logic Board");
    case JobPhase::Writing: return QStringLiteral("Writing Logic Board");
    case JobPhase::Verifying: return QStringLiteral("Verifying Logic Board");
    case JobPhase::DoctorStep: return QStringLiteral("Diagnose Link");
    }
    return {};
}

bool isReadPhase(JobPhase phase)
{
    return phase == JobPhase::BackingUp || phase == JobPhase::Reading || phase == JobPhase::Verifying;
}

namespace {

void tell(const LinkContext& ctx, JobEvent::Kind kind)
{
    if (ctx.tell)
        ctx.tell({kind, ctx.phase, ctx.step, ctx.maximum, ctx.boardSilent});
}

} // namespace

void startPhase(LinkContext& ctx, JobPhase phase, int maximum)
{
    ctx.phase = phase;
    ctx.step = 0;
    ctx.maximum = maximum;
    tell(ctx, JobEvent::Kind::PhaseStarted);
}

void stepDone(LinkContext& ctx)
{
    ++ctx.step;
    tell(ctx, JobEvent::Kind::StepDone);
}

void tellSilence(LinkContext& ctx, bool silent)
{
    if (ctx.boardSilent == silent)
        return;
    ctx.boardSilent = silent;
    tell(ctx, JobEvent::Kind::SilenceChanged);
}
