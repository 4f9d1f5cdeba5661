#include "FormControls.h"

#include "MemoryMap.h"

#include <map>

namespace FormControls {

namespace {

using Editor::DisplayFormat;
using namespace MemoryMap;

const QString kTop;
const QString kPaging = QStringLiteral("Paging Codes");
const QString kOptions = QStringLiteral("Options");
const QString kGroups = QStringLiteral("Group Codes");
const QString kSpeed = QStringLiteral("Speed Dial Programming");

QString indexed(const char* name, int i)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

// Speed-dial rows are labelled 0..9, A..D on screen.
QString speedRowLabel(int s)
{
    return s < 10 ? QString::number(s) : QString(QChar('A' + (s - 10)));
}

std::vector<int> range(Span span)
{
    std::vector<int> words(static_cast<std::size_t>(span.count));
    for (int k = 0; k < span.count; ++k)
        words[static_cast<std::size_t>(k)] = span.first + k;
    return words;
}

FormControl coded(FormControl c, const WordCoding& coding)
{
    c.coding = &coding;
    return c;
}

using Access = std::function<ControlRef(Form&)>;

FormControl control(ControlKind kind, QString name, QString caption, QString frame, Access access,
                    std::vector<int> words = {}, int row = -1)
{
    FormControl c;
    c.name = std::move(name);
    c.caption = std::move(caption);
    c.frame = std::move(frame);
    c.kind = kind;
    c.row = row;
    c.access = std::move(access);
    c.words = std::move(words);
    return c;
}

FormControl textBox(QString name, QString caption, QString frame, int maxLength, DisplayFormat format, EntryRule entry,
                    Access access, std::vector<int> words, int row = -1)
{
    FormControl c = control(ControlKind::Text, std::move(name), std::move(caption), std::move(frame), std::move(access),
                            std::move(words), row);
    c.maxLength = maxLength;
    c.format = format;
    c.entry = entry;
    return c;
}

#define VIREO_REF(member) [](Form& f) -> ControlRef { return &f.member; }
#define VIREO_ROW(member, i) [i](Form& f) -> ControlRef { return &f.member[i]; }

void addTop(std::vector<FormControl>& t)
{
    t.push_back(coded(textBox("ProgAccessCode", "Access Code", kTop, 5, DisplayFormat::FiveDigits,
                              EntryRule::AccessCode, VIREO_REF(ProgAccessCode), range(kAccessCodeWords)),
                      ControlWords::kAccessCode));
}

void addPaging(std::vector<FormControl>& t)
{
    const auto code = [&](const char* name, const char* caption, Access access, Span words) {
        t.push_back(coded(textBox(name, caption, kPaging, 4, DisplayFormat::FourDigits, EntryRule::CodeDigits,
                                  std::move(access), range(words)),
                          ControlWords::kCode));
    };
    code("PrimaryCode", "Primary Code - ESN", VIREO_REF(PrimaryCode), kPrimaryCodeWords);
    code("SecondaryCode", "Secondary Code", VIREO_REF(SecondaryCode), kSecondaryCodeWords);
    code("LowerBlockCode", "Lower Block Decode", VIREO_REF(LowerBlockCode), kLowerBlockCodeWords);
    code("UpperBlockCode", "Upper Block Decode", VIREO_REF(UpperBlockCode), kUpperBlockCodeWords);
}

void addOptions(std::vector<FormControl>& t)
{
    const auto add = [&](ControlKind kind, const char* name, const char* caption, Access access, Span words,
                         const WordCoding& coding) {
        t.push_back(coded(control(kind, name, caption, kOptions, std::move(access), range(words)), coding));
    };
    const auto check = [&](const char* name, const char* caption, Access access, int word,
                           const WordCoding& coding = ControlWords::kSwitch) {
        add(ControlKind::Check, name, caption, std::move(access), {word, 1}, coding);
    };
    add(ControlKind::Combo, "cmbSystemTone", "System Tone", VIREO_REF(cmbSystemTone), kToneWords, ControlWords::kTone);
    add(ControlKind::Combo, "cmbSystemID", "System ID Number", VIREO_REF(cmbSystemID), {MemoryMap::kSystemId, 1},
        ControlWords::kSystemId);
    add(ControlKind::Combo, "cmbMandown", "Mandown Timer", VIREO_REF(cmbMandown), {MemoryMap::kMandown, 1},
        ControlWords::kMandown);
    t.push_back(control(ControlKind::Label, "Label4", "Mandown Timer", kOptions, VIREO_REF(Label4)));
    check("chkEmergency", "Emergency Call Override", VIREO_REF(chkEmergency), kEmergency);
    check("chkPriority", "Priority Subscriber", VIREO_REF(chkPriority), kPriority);
    check("chkConventional", "Conventional Mode (5*)", VIREO_REF(chkConventional), kConventional);
    check("chkClearChannel", "Clear Channel Alert", VIREO_REF(chkClearChannel), kClearChannel);
    check("chkRadioKill", "Clear Radio Kill", VIREO_REF(chkRadioKill), MemoryMap::kRadioKill, ControlWords::kRadioKill);
    check("chkDTMFMic", "DTMF Mobile Mic", VIREO_REF(chkDTMFMic), kOptionBits, ControlWords::kDtmfMicBit);
    check("chkVoiceEncryption", "Voice Encryption", VIREO_REF(chkVoiceEncryption), kOptionBits,
          ControlWords::kVoiceEncryptionBit);
    check("chkRoaming", "Automatic Registration", VIREO_REF(chkRoaming), MemoryMap::kRoaming, ControlWords::kRoaming);
    check("chkANI", "Transmit PTT ANI", VIREO_REF(chkANI), kOptionBits, ControlWords::kAniBit);
}

void addGroups(std::vector<FormControl>& t)
{
    FormControl fleet = coded(control(ControlKind::Check, "chkFleetDispatch", "Enable Fleet-Dispatch Mode", kGroups,
                                      VIREO_REF(chkFleetDispatch), {kFleetDispatch}),
                              ControlWords::kSwitch);
    fleet.click = Editor::chkFleetDispatch_Click;
    t.push_back(std::move(fleet));
    t.push_back(control(ControlKind::Label, "Label3", "Group Code", kGroups, VIREO_REF(Label3)));
    t.push_back(control(ControlKind::Label, "Label2", "Alpha Tag", kGroups, VIREO_REF(Label2)));
    for (int g = 0; g < Form::kGroups; ++g) {
        const QString row = QString::number(g);
        t.push_back(control(ControlKind::Label, indexed("Label1", g), QStringLiteral("Group row ") + row, kGroups,
                            VIREO_ROW(Label1, g), {}, g));
        t.push_back(coded(textBox(indexed("GroupCode", g), QStringLiteral("Group Codes, row ") + row, kGroups, 4,
                                  DisplayFormat::FourDigits, EntryRule::GroupCode, VIREO_ROW(GroupCode, g),
                                  range(groupCodeWords(g)), g),
                          ControlWords::kGroupCode));
        t.push_back(textBox(indexed("GroupAlpha", g), QStringLiteral("Group Alpha Tag, row ") + row, kGroups, 10,
                            DisplayFormat::Capitals, EntryRule::None, VIREO_ROW(GroupAlpha, g), range(groupTagWords(g)),
                            g));
    }
}

void addSpeedRow(std::vector<FormControl>& t, int s)
{
    const QString row = speedRowLabel(s);
    // Memory 0 keeps its leading zeros as typed; the others show a plain number.
    const DisplayFormat dial = s == 0 ? DisplayFormat::None : DisplayFormat::NumberNoLeadingZeros;
    t.push_back(control(ControlKind::Label, indexed("Label23", s), QStringLiteral("Speed Dial row ") + row, kSpeed,
                        VIREO_ROW(Label23, s), {}, s));
    t.push_back(coded(textBox(indexed("SpeedDial", s), QStringLiteral("Speed Dial, row ") + row, kSpeed, 15, dial,
                              EntryRule::DialNumber, VIREO_ROW(SpeedDial, s), range(speedDialWords(s)), s),
                      ControlWords::kDialNumber));
    t.push_back(textBox(indexed("SpeedAlpha", s), QStringLiteral("Speed Dial Alpha Tag, row ") + row, kSpeed, 10,
                        DisplayFormat::Capitals, EntryRule::None, VIREO_ROW(SpeedAlpha, s), range(speedTagWords(s)),
                        s));
    // The lock mark is the first digit of the memory's first word.
    t.push_back(coded(control(ControlKind::Check, indexed("chkLock", s), QStringLiteral("Lock, row ") + row, kSpeed,
                              VIREO_ROW(chkLock, s), {speedDialWord(s)}, s),
                      ControlWords::kLock));
}

void addSpeedDials(std::vector<FormControl>& t)
{
    FormControl memory = coded(control(ControlKind::Check, "chkMemorySpeed", "Enable Memory Speed Dial", kSpeed,
                                       VIREO_REF(chkMemorySpeed), {kMemorySpeed}),
                               ControlWords::kSwitch);
    memory.click = Editor::chkMemorySpeed_Click;
    t.push_back(std::move(memory));
    t.push_back(control(ControlKind::Label, "Label5", "Speed Dial Numbers", kSpeed, VIREO_REF(Label5)));
    t.push_back(control(ControlKind::Label, "Label6", "Alpha Tag", kSpeed, VIREO_REF(Label6)));
    t.push_back(control(ControlKind::Label, "Label8", "Lock", kSpeed, VIREO_REF(Label8)));
    for (int s = 0; s < 10; ++s)
        addSpeedRow(t, s);
    t.push_back(control(ControlKind::Label, "Label25", "Turbo Speedial", kSpeed, VIREO_REF(Label25)));
    for (int s = 10; s < Form::kSpeedDials; ++s)
        addSpeedRow(t, s);
}

#undef VIREO_REF
#undef VIREO_ROW

std::vector<FormControl> build()
{
    std::vector<FormControl> t;
    addTop(t);
    addPaging(t);
    addOptions(t);
    addGroups(t);
    addSpeedDials(t);
    return t;
}

EntryResult refused(const FormControl& control, const QString& why)
{
    return {false, QStringLiteral("%1 (%2): %3").arg(control.name, control.caption, why)};
}

EntryResult enterText(Form& form, const FormControl& control, const QString& value)
{
    if (value.size() > control.maxLength)
        return refused(
            control, QStringLiteral("\"%1\" is longer than the box's %2 characters").arg(value).arg(control.maxLength));
    control.textBox(form)->text = leftText(control, value);
    return {};
}

EntryResult enterCheck(Form& form, const FormControl& control, const QString& value)
{
    if (value != QLatin1String("0") && value != QLatin1String("1"))
        return refused(control, QStringLiteral("a check box takes 0 or 1, not \"%1\"").arg(value));
    setCheck(form, control, value.toInt());
    return {};
}

} // namespace

const std::vector<FormControl>& all()
{
    static const std::vector<FormControl> table = build();
    return table;
}

const FormControl* find(const QString& name)
{
    for (const FormControl& c : all()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const FormControl& rowOf(const Form& form, const void* control)
{
    // A control's place inside a Form is the same in every Form.
    const auto offset = [](const Form& f, const void* c) {
        return static_cast<const char*>(c) - reinterpret_cast<const char*>(&f);
    };
    static const std::map<std::ptrdiff_t, const FormControl*> rows = [&] {
        Form probe;
        std::map<std::ptrdiff_t, const FormControl*> m;
        for (const FormControl& c : all())
            m[offset(probe, std::visit([](const auto* p) -> const void* { return p; }, c.access(probe)))] = &c;
        return m;
    }();
    return *rows.at(offset(form, control));
}

QString leftText(const FormControl& control, const QString& typed)
{
    // The access-code box judges the length as typed ("123" is not padded to a valid-looking code).
    const QString text = control.entry == EntryRule::AccessCode ? Editor::accessCodeRule(typed) : typed;
    return Editor::applyDisplayFormat(text, control.format);
}

void setCheck(Form& form, const FormControl& control, int value)
{
    CheckBox& box = *control.checkBox(form);
    // A change of value, by the user or by code, raises the box's click handler.
    if (box.value == value)
        return;
    box.value = value;
    if (control.click)
        control.click(form);
}

EntryResult enter(Form& form, const FormControl& control, const QString& value)
{
    if (!control.isEditing())
        return refused(control, QStringLiteral("a label cannot be set"));
    if (!control.enabled(form))
        return refused(control, QStringLiteral("the control is greyed for this product or mode"));
    switch (control.kind) {
    case ControlKind::Text: return enterText(form, control, value);
    case ControlKind::Check: return enterCheck(form, control, value);
    case ControlKind::Combo:
        if (!control.comboBox(form)->select(value))
            return refused(control, QStringLiteral("the list has no item \"%1\"").arg(value));
        return {};
    case ControlKind::Label: break;
    }
    return {};
}

} // namespace FormControls

bool FormControl::enabled(const Form& form) const
{
    return std::visit([](const auto* c) { return c->enabled; }, access(const_cast<Form&>(form)));
}

QString FormControl::value(const Form& form) const
{
    const ControlRef ref = access(const_cast<Form&>(form));
    switch (kind) {
    case ControlKind::Text: return std::get<TextBox*>(ref)->text;
    case ControlKind::Combo: return std::get<ComboBox*>(ref)->text();
    case ControlKind::Check: return QString::number(std::get<CheckBox*>(ref)->value);
    case ControlKind::Label: return std::get<Label*>(ref)->caption;
    }
    return {};
}
