#include "Compare.h"

#include "EditorSession.h"
#include "FormControls.h"

#include <algorithm>
#include <set>

namespace Compare {

namespace {

Form windowShowing(const BoardImage& image, int product)
{
    EditorSession window = EditorSession::startUp(product);
    window.show(image);
    return window.form;
}

QString shown(const FormControl& c, const Form& form)
{
    if (c.kind == ControlKind::Check)
        return c.value(form) == QLatin1String("0") ? QStringLiteral("clear") : QStringLiteral("set");
    return c.value(form);
}

} // namespace

std::vector<int> wordsOf(const QString& controlName)
{
    const FormControl* control = FormControls::find(controlName);
    return control ? control->words : std::vector<int>{};
}

std::vector<Difference> differences(const BoardImage& a, const BoardImage& b, int product, int lastWord)
{
    const Form formA = windowShowing(a, product);
    const Form formB = windowShowing(b, product);
    std::vector<Difference> result;
    std::set<int> explained; // words whose difference a control shows
    for (const FormControl& c : FormControls::all()) {
        if (!c.isEditing())
            continue;
        const QString textA = shown(c, formA);
        const QString textB = shown(c, formB);
        if (textA == textB)
            continue;
        result.push_back({c.caption, textA, textB, c.name, -1});
        explained.insert(c.words.begin(), c.words.end());
    }
    const int last = std::min(lastWord, static_cast<int>(BoardImage::kLastIndex));
    for (int w = 0; w <= last; ++w) {
        if (a.word(w) != b.word(w) && !explained.count(w))
            result.push_back({QStringLiteral("word %1").arg(w), a.word(w), b.word(w), {}, w});
    }
    return result;
}

QString describe(const Difference& d, const QString& separator, const QString& after)
{
    const auto text = [](const QString& t) { return t.isEmpty() ? QStringLiteral("(blank)") : t; };
    return d.setting + QStringLiteral(": ") + text(d.textA) + separator + text(d.textB) + after;
}

} // namespace Compare
