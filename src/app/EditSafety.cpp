#include "EditSafety.h"

#include "BoardCommands.h"
#include "EditorSession.h"
#include "FormControls.h"
#include "FormView.h"
#include "Messages.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>

namespace {

const QString kReadStep = QStringLiteral("Read from Logic Board");

// The box the technician is typing in, in this window.
QLineEdit* focusedBox(QWidget* window)
{
    auto* box = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return box && box->window() == window ? box : nullptr;
}

} // namespace

EditSafety::EditSafety(QMainWindow* window, EditorSession& session, FormView& view, BoardCommands& board,
                       const MainWindowMenus& menus)
    : QObject(window), window_(window), session_(session), view_(view), board_(board), menus_(menus),
      caption_(window->windowTitle())
{
    connect(&view_, &FormView::aboutToEdit, this, &EditSafety::aboutToEdit);
    connect(&view_, &FormView::edited, this, [this](const FormControl& control) {
        if (userStep_ && userStep_->control == &control)
            closeUserStep();
        refresh();
    });
    connect(&view_, &FormView::typed, this, &EditSafety::refresh);
    connect(&view_, &FormView::shown, this, &EditSafety::refresh);
    connect(&board_, &BoardCommands::readStarting, this, [this] {
        closeUserStep();
        beforeRead_ = now();
    });
    connect(&board_, &BoardCommands::readShown, this, [this] {
        if (beforeRead_)
            record(kReadStep, *std::exchange(beforeRead_, std::nullopt));
        refresh();
    });
    connect(&board_, &BoardCommands::written, this, &EditSafety::refresh);
    // Runs after the window's own Save As, which may have kept the controls in a file.
    connect(menus_.mnuFileSaveAs, &QAction::triggered, this, &EditSafety::refresh);
    connect(menus_.mnuEditUndo, &QAction::triggered, this, &EditSafety::undo);
    connect(menus_.mnuEditRedo, &QAction::triggered, this, &EditSafety::redo);
}

// ---- unsaved edits --------------------------------------------------------------

bool EditSafety::mayDiscardEdits()
{
    if (!session_.hasUnsavedEdits())
        return true;
    enum { Save, Discard, Cancel };
    const int answer = Messages::ask(window_,
                                     {kQuestionTitle,
                                      kQuestion,
                                      {QStringLiteral("Save..."), QStringLiteral("Discard"), QStringLiteral("Cancel")},
                                      Cancel,
                                      Messages::Icon::Exclamation});
    if (answer == Discard)
        return true;
    if (answer != Save)
        return false;
    // Save As says itself why a save did not happen; the command then waits.
    menus_.mnuFileSaveAs->trigger();
    return !session_.hasUnsavedEdits();
}

void EditSafety::refresh()
{
    // The desktop's mark of a changed document; the caption is exactly the program's
    // own when nothing is unsaved.
    const bool edited = session_.hasUnsavedEdits();
    window_->setWindowTitle(edited ? caption_ + QStringLiteral(" [*]") : caption_);
    window_->setWindowModified(edited);

    const QString undo = stepName(true);
    menus_.mnuEditUndo->setText(undo.isEmpty() ? QStringLiteral("&Undo") : QStringLiteral("&Undo ") + undo);
    menus_.mnuEditUndo->setEnabled(!undo.isEmpty());
    const QString redo = stepName(false);
    menus_.mnuEditRedo->setText(redo.isEmpty() ? QStringLiteral("&Redo") : QStringLiteral("&Redo ") + redo);
    menus_.mnuEditRedo->setEnabled(!redo.isEmpty());
}

QString EditSafety::stepName(bool back) const
{
    // What Undo (Redo) takes: the typing in the box with the focus first, as takeStep
    // does; so the text names the row being typed in, not the row typed in before.
    if (const QLineEdit* box = focusedBox(window_); box && (back ? box->isUndoAvailable() : box->isRedoAvailable())) {
        if (const FormControl* control = FormControls::find(box->objectName()))
            return control->caption;
    }
    if (back && userStep_ && !EditHistory::same(userStep_->before, now()))
        return userStep_->control->caption;
    return back ? history_.undoName() : history_.redoName();
}

// ---- steps ----------------------------------------------------------------------

EditHistory::State EditSafety::now() const
{
    return {session_.form, session_.image};
}

bool EditSafety::record(const QString& name, const EditHistory::State& before)
{
    return history_.record(name, before, now());
}

void EditSafety::aboutToEdit(const FormControl& control)
{
    // One step per visit to a box: it starts at the first keystroke and ends when the
    // box is left.
    if (userStep_ && userStep_->control != &control)
        closeUserStep();
    if (!userStep_)
        userStep_ = UserStep{&control, now()};
}

void EditSafety::closeUserStep()
{
    if (!userStep_)
        return;
    const UserStep step = std::move(*userStep_);
    userStep_.reset();
    record(step.control->caption, step.before);
    refresh();
}

EditSafety::Step::Step(EditSafety* owner, QString name) : owner_(owner), name_(std::move(name))
{
    if (!owner_)
        return;
    // Typing not yet left is a step of its own, before the command's.
    owner_->closeUserStep();
    before_ = owner_->now();
}

EditSafety::Step::~Step()
{
    if (!owner_)
        return;
    if (owner_->record(name_, before_))
        owner_->view_.show();
    owner_->refresh();
}

EditSafety::Step EditSafety::step(const QString& name)
{
    return Step(this, name);
}

EditSafety::Step EditSafety::replace(const QString& name)
{
    if (!mayDiscardEdits())
        return Step(nullptr, {});
    return Step(this, name);
}

void EditSafety::takeImport(const Form& form)
{
    const Step import = step(QStringLiteral("Import Lists"));
    session_.form = form;
}

// ---- undo and redo --------------------------------------------------------------

void EditSafety::undo()
{
    takeStep(true);
}

void EditSafety::redo()
{
    takeStep(false);
}

void EditSafety::takeStep(bool back)
{
    if (board_.refuseWhileBusy())
        return;
    // Typing in the box with the focus is taken back first, as every text box does.
    QLineEdit* box = focusedBox(window_);
    if (box && (back ? box->isUndoAvailable() : box->isRedoAvailable())) {
        back ? box->undo() : box->redo();
        return;
    }
    closeUserStep();
    if (back ? history_.canUndo() : history_.canRedo())
        apply(back ? history_.undo(now()) : history_.redo(now()));
}

void EditSafety::apply(const EditHistory::State& state)
{
    // Only the controls and the image: the board and the files stay as they are.
    session_.form = state.form;
    session_.image = state.image;
    view_.show();
    refresh();
}
