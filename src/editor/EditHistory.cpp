#include "EditHistory.h"

#include "FormControls.h"

#include <type_traits>
#include <variant>

namespace {

ControlRef refOf(const FormControl& control, const Form& form)
{
    return control.access(const_cast<Form&>(form));
}

bool sameControl(const FormControl& control, const Form& a, const Form& b)
{
    const ControlRef other = refOf(control, b);
    return std::visit([&other](auto* value) { return *value == *std::get<decltype(value)>(other); }, refOf(control, a));
}

// Every control and word that differs between `from` and `to` takes its value in `to`.
void carry(EditHistory::State& current, const EditHistory::State& from, const EditHistory::State& to)
{
    for (const FormControl& control : FormControls::all()) {
        if (sameControl(control, from.form, to.form))
            continue;
        const ControlRef source = refOf(control, to.form);
        std::visit([&source](auto* target) { *target = *std::get<decltype(target)>(source); },
                   control.access(current.form));
    }
    for (int i = 0; i < BoardImage::kWordCount; ++i) {
        if (from.image.word(i) != to.image.word(i))
            current.image.setWord(i, to.image.word(i));
    }
}

} // namespace

bool EditHistory::same(const State& a, const State& b)
{
    if (a.image != b.image)
        return false;
    for (const FormControl& control : FormControls::all()) {
        if (!sameControl(control, a.form, b.form))
            return false;
    }
    return true;
}

bool EditHistory::record(const QString& name, const State& before, const State& after)
{
    if (same(before, after))
        return false;
    done_.push_back({name, before, after});
    if (done_.size() > static_cast<size_t>(kMaxSteps))
        done_.pop_front();
    undone_.clear();
    return true;
}

EditHistory::State EditHistory::undo(const State& current)
{
    return take(done_, undone_, current, true);
}

EditHistory::State EditHistory::redo(const State& current)
{
    return take(undone_, done_, current, false);
}

EditHistory::State EditHistory::take(std::deque<Step>& from, std::deque<Step>& to, const State& current, bool back)
{
    State state = current;
    if (from.empty())
        return state;
    const Step& step = from.back();
    carry(state, back ? step.after : step.before, back ? step.before : step.after);
    to.push_back(std::move(from.back()));
    from.pop_back();
    return state;
}
