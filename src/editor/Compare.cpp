#include "Compare.h"

#include "Editor.h"
#include "Form.h"
#include "FormControls.h"
#include "MemoryMap.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <set>

namespace Compare {

namespace {

using namespace MemoryMap;

std::vector<int> range(int first, int count)
{
    std::vector<int> words(count);
    for (int k = 0; k < count; ++k)
        words[k] = first + k;
    return words;
}

// Row controls: "GroupCode(3)" -> {"GroupCode", 3}.
std::pair<QString, int> splitName(const QString& name)
{
    static const QRegularExpression indexed(QStringLiteral("^(\\w+)\\((\\d+)\\)$"));
    const QRegularExpressionMatch m = indexed.match(name);
    if (!m.hasMatch())
        return {name, -1};
    return {m.captured(1), m.captured(2).toInt()};
}

Form windowShowing(BoardImage image, int product)
{
    Form form = Form::designTime();
    Editor::applyProductProfile(form, QString::number(product));
    Editor::UpdateGUI(form, image);
    return form;
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
    static const std::map<QString, std::vector<int>> single{
        {QStringLiteral("ProgAccessCode"), range(kAccessCode, 3)},
        {QStringLiteral("PrimaryCode"), range(kPrimaryCode, 2)},
        {QStringLiteral("SecondaryCode"), range(kSecondaryCode, 2)},
        {QStringLiteral("LowerBlockCode"), range(kLowerBlockCode, 2)},
        {QStringLiteral("UpperBlockCode"), range(kUpperBlockCode, 2)},
        {QStringLiteral("cmbSystemTone"), range(kToneNumber, 2)},
        {QStringLiteral("cmbSystemID"), {kSystemId}},
        {QStringLiteral("cmbMandown"), {kMandown}},
        {QStringLiteral("chkEmergency"), {kEmergency}},
        {QStringLiteral("chkPriority"), {kPriority}},
        {QStringLiteral("chkConventional"), {kConventional}},
        {QStringLiteral("chkClearChannel"), {kClearChannel}},
        {QStringLiteral("chkRadioKill"), {kRadioKill}},
        {QStringLiteral("chkDTMFMic"), {kOptionBits}},
        {QStringLiteral("chkVoiceEncryption"), {kOptionBits}},
        {QStringLiteral("chkANI"), {kOptionBits}},
        {QStringLiteral("chkRoaming"), {kRoaming}},
        {QStringLiteral("chkFleetDispatch"), {kFleetDispatch}},
        {QStringLiteral("chkMemorySpeed"), {kMemorySpeed}},
    };
    if (const auto it = single.find(controlName); it != single.end())
        return it->second;
    const auto [base, i] = splitName(controlName);
    if (i < 0)
        return {};
    if (base == QLatin1String("GroupCode"))
        return {groupCodeWord(i)};
    if (base == QLatin1String("GroupAlpha"))
        return range(groupTagWord(i), kWordsPerTag);
    if (base == QLatin1String("SpeedDial"))
        return range(speedDialWord(i), kWordsPerSpeedDial);
    if (base == QLatin1String("chkLock"))
        return {speedDialWord(i)}; // the lock mark is the first digit
    if (base == QLatin1String("SpeedAlpha"))
        return range(speedTagWord(i), kWordsPerTag);
    return {};
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
        for (int w : wordsOf(c.name))
            explained.insert(w);
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
