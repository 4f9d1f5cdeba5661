#include "FleetEngine.h"

#include "Editor.h"

FleetEngine::UnitsRead FleetEngine::readUnits(const EditorSession& templ, const QString& unitsPath,
                                              const QString& logPath, bool resume)
{
    const FleetUnits::LogRecords records = FleetUnits::programmedIn(logPath);
    if (!records.problem.isEmpty())
        return {records.problem, {}};
    return {{}, FleetUnits::read(templ, unitsPath, records.programmed, resume)};
}

std::optional<EditorSession::Outgoing> FleetEngine::numberFrom(const EditorSession& templ)
{
    radios_.clear();
    numbering_ = templ;
    numberedLabel_ = 0;
    codesLeft_ = true;
    refused_.reset();
    programmed_ = 0;
    if (!numberMore())
        return refused_;
    markNext(0);
    return std::nullopt;
}

void FleetEngine::takeUnits(std::vector<FleetUnits::Unit> units)
{
    radios_.clear();
    numbering_.reset();
    programmed_ = 0;
    for (FleetUnits::Unit& u : units)
        radios_.push_back({std::move(u), State::Waiting, {}});
    markNext(0);
}

QString FleetEngine::openLog(const QString& path, const QString& technician, const EditorSession& templ)
{
    return log_.open(path, {technician, FleetLog::templateHash(templ)});
}

bool FleetEngine::numberMore()
{
    if (!numbered())
        return true;
    const auto pending = std::count_if(radios_.begin(), radios_.end(), [](const Radio& r) {
        return r.state != State::Programmed && r.state != State::Skipped;
    });
    const int wanted = settings_.count > 0 ? settings_.count - programmed_ : 1;
    for (int k = int(pending); k < wanted && codesLeft_; ++k) {
        EditorSession radio = *numbering_;
        EditorSession::Outgoing out = radio.outgoing();
        if (!out.ok()) {
            refused_ = std::move(out);
            return false;
        }
        radios_.push_back({{0, QString::number(++numberedLabel_), FleetUnits::fourDigits(numbering_->form), out.image},
                           State::Waiting,
                           {}});
        codesLeft_ = Editor::incrementPrimaryCode(numbering_->form) == Editor::IncrementResult::Done;
    }
    return true;
}

void FleetEngine::markNext(int from)
{
    next_ = -1;
    if (settings_.count > 0 && programmed_ >= settings_.count) {
        end_ = End::CountReached;
        return;
    }
    if (!numberMore()) {
        end_ = End::Refused;
        return;
    }
    for (int r = from; r < int(radios_.size()); ++r)
        if (radios_[std::size_t(r)].state == State::Waiting) {
            next_ = r;
            radios_[std::size_t(r)].state = State::Next;
            end_ = End::Running;
            return;
        }
    end_ = numbered() ? End::CodesExhausted : End::TableDone;
}

QString FleetEngine::codeOf(int radio) const
{
    const Radio& r = radios_[std::size_t(radio)];
    return numbered() && r.state == State::Skipped ? QString() : r.unit.primaryCode;
}

bool FleetEngine::waitsForRetry() const
{
    return next_ >= 0
           && (radios_[std::size_t(next_)].state == State::Failed
               || radios_[std::size_t(next_)].state == State::Cancelled);
}

BoardJob::Request FleetEngine::begin()
{
    Radio& r = radios_[std::size_t(next_)];
    r.state = State::Writing;
    r.outcome.clear();
    return {.kind = BoardJob::Kind::Write,
            .product = settings_.product,
            .accessCode = settings_.accessCode,
            .linkCheckFirst = settings_.linkCheckFirst,
            .image = r.unit.image,
            .verify = settings_.verify,
            .backUpFirst = settings_.backUpFirst};
}

QString FleetEngine::finish(const BoardJob::Result& result)
{
    Radio& r = radios_[std::size_t(next_)];
    r.outcome = FleetLog::outcomeOf(result);
    const QString why = log_.add(
        {r.unit.primaryCode, r.outcome, r.unit.label, FleetLog::verifyText(result), FleetLog::backupOf(result)});
    if (result.ok()) {
        r.state = State::Programmed;
        ++programmed_;
        if (programmed_ == 1)
            firstCode_ = r.unit.primaryCode;
        lastCode_ = r.unit.primaryCode;
        markNext(next_ + 1);
    } else {
        r.state = result.end == BoardJob::End::Cancelled ? State::Cancelled : State::Failed;
    }
    return why;
}

void FleetEngine::retry()
{
    if (waitsForRetry())
        radios_[std::size_t(next_)].state = State::Next;
}

void FleetEngine::skip()
{
    if (!waitsForRetry())
        return;
    const int skipped = next_;
    radios_[std::size_t(skipped)].state = State::Skipped;
    if (numbered()) { // the radio connected next takes its number and code
        Radio taker{radios_[std::size_t(skipped)].unit, State::Waiting, {}};
        radios_.insert(radios_.begin() + skipped + 1, std::move(taker));
    }
    markNext(skipped + 1);
}

void FleetEngine::stop()
{
    next_ = -1;
    end_ = End::Stopped;
}
