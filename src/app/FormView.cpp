#include "FormView.h"

#include "FormControls.h"
#include "MainWindowLayout.h"
#include "MaskedEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QSignalBlocker>

FormView::FormView(QWidget* client, Form& form, const MainWindowControls& controls) : QObject(client), form_(form)
{
    QHash<const FormControl*, QWidget*> widgets;
    for (const ControlWidget& row : controls.rows)
        widgets.insert(row.control, row.widget);
    for (const FormControl& control : FormControls::all()) {
        QWidget* widget = widgets.value(&control);
        if (!widget)
            continue; // the layout test sees to it that there is none missing
        switch (control.kind) {
        case ControlKind::Text: bindText(qobject_cast<MaskedEdit*>(widget), control); break;
        case ControlKind::Combo: bindCombo(widget, control); break;
        case ControlKind::Check: bindCheck(widget, control); break;
        case ControlKind::Label: bindLabel(widget, control); break;
        }
    }
    // The two status labels of the top strip change with the product and the port.
    for (auto [widget, label] :
         {std::pair{controls.lblProduct, &form_.lblProduct}, std::pair{controls.Label7, &form_.Label7}}) {
        shows_.push_back([widget, label] {
            widget->setText(label->caption);
            widget->setEnabled(label->enabled);
        });
    }
}

void FormView::show()
{
    for (const auto& show : shows_)
        show();
    emit shown();
}

void FormView::completeTyping()
{
    // Only the box being typed in can hold a text that was not yet left.
    for (const auto& [edit, control] : edits_) {
        if (edit->isModified())
            boxLeft(edit, *control);
    }
}

void FormView::bindText(MaskedEdit* edit, const FormControl& control)
{
    const FormControl* c = &control; // the table lives as long as the program
    edits_.emplace_back(edit, c);
    shows_.push_back([this, edit, c] {
        const TextBox& box = *c->textBox(form_);
        const QSignalBlocker block(edit);
        edit->showText(box.text);
        edit->setEnabled(box.enabled);
    });
    connect(edit, &QLineEdit::textEdited, this, [this, c](const QString& text) {
        emit aboutToEdit(*c);
        c->textBox(form_)->text = text;
        emit typed();
    });
    connect(edit, &MaskedEdit::focusLost, this, [this, edit, c] { boxLeft(edit, *c); });
}

void FormView::boxLeft(MaskedEdit* edit, const FormControl& control)
{
    emit aboutToEdit(control);
    TextBox& field = *control.textBox(form_);
    field.text = FormControls::leftText(control, field.text);
    {
        const QSignalBlocker block(edit);
        edit->showText(field.text);
    }
    emit edited(control);
}

void FormView::bindCheck(QWidget* widget, const FormControl& control)
{
    auto* box = qobject_cast<QCheckBox*>(widget);
    const FormControl* c = &control;
    shows_.push_back([this, box, c] {
        const CheckBox& check = *c->checkBox(form_);
        const QSignalBlocker block(box);
        box->setCheckState(check.value == 1 ? Qt::Checked : check.value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
        box->setEnabled(check.enabled);
    });
    connect(box, &QCheckBox::clicked, this, [this, box, c] {
        emit aboutToEdit(*c);
        FormControls::setCheck(form_, *c, box->checkState() == Qt::Checked ? 1 : 0);
        if (c->click)
            show(); // the frame rule changed other controls
        emit edited(*c);
    });
}

void FormView::bindCombo(QWidget* widget, const FormControl& control)
{
    auto* box = qobject_cast<QComboBox*>(widget);
    const FormControl* c = &control;
    shows_.push_back([this, box, c] {
        const ComboBox& list = *c->comboBox(form_);
        const QSignalBlocker block(box);
        box->setCurrentIndex(list.index >= 0 && list.index < box->count() ? list.index : -1);
        box->setEnabled(list.enabled);
    });
    connect(box, &QComboBox::activated, this, [this, c](int index) {
        emit aboutToEdit(*c);
        c->comboBox(form_)->index = index;
        emit edited(*c);
    });
}

void FormView::bindLabel(QWidget* widget, const FormControl& control)
{
    auto* label = qobject_cast<QLabel*>(widget);
    const FormControl* c = &control;
    shows_.push_back([this, label, c] {
        const Label& l = *std::get<Label*>(c->access(form_));
        label->setText(l.caption);
        label->setEnabled(l.enabled);
    });
}
