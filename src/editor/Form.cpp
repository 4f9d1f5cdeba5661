#include "Form.h"

#include "WordCodecs.h"

bool ComboBox::select(const QString& wanted)
{
    const int i = items.indexOf(wanted);
    if (i < 0)
        return false;
    index = i;
    return true;
}

Form Form::designTime()
{
    Form f;
    f.cmbSystemTone.items = WordCodec::toneTexts();
    f.cmbSystemID.items = WordCodec::systemIdTexts();
    f.cmbMandown.items = WordCodec::mandownTexts();
    f.Label4.caption = QStringLiteral("Mandown Timer");
    f.chkANI.enabled = false;

    f.Label3 = {QStringLiteral("Group Code"), false};
    f.Label2 = {QStringLiteral("Alpha Tag"), false};
    for (int g = 0; g < kGroups; ++g) {
        f.Label1[g] = {QString::number(g), false};
        f.GroupCode[g].enabled = false;
        f.GroupAlpha[g].enabled = false;
    }

    f.Label5.caption = QStringLiteral("Speed Dial Numbers");
    f.Label6.caption = QStringLiteral("Alpha Tag");
    f.Label8.caption = QStringLiteral("Lock");
    f.Label25.caption = QStringLiteral("Turbo Speedial");
    for (int s = 0; s < kSpeedDials; ++s)
        f.Label23[s].caption = s < 10 ? QString::number(s) : QString(QChar('A' + (s - 10)));
    return f;
}
