#pragma once

#include "EditHistory.h"
#include "MainWindowLayout.h"

#include <QObject>
#include <QString>

#include <optional>

class BoardCommands;
class EditorSession;
class FormView;
class QMainWindow;
struct FormControl;

// The technician's safety net in the main window: the caption's asterisk while the
// controls hold edits not yet in a file or on a board, the "Unsaved Changes" question
// before a command replaces them, and the Edit menu's undo and redo of every change of
// the controls. Edits are found by comparing images (EditorSession::hasUnsavedEdits).
class EditSafety : public QObject {
    Q_OBJECT
public:
    inline static const QString kQuestionTitle = QStringLiteral("Unsaved Changes");
    inline static const QString kQuestion = QStringLiteral(
        "The settings in the window have changed since they were last saved or written to a board. "
        "Save them to a file first?");

    // Watches the view's edits and the board's reads; drives menus.mnuEditUndo/Redo.
    EditSafety(QMainWindow* window, EditorSession& session, FormView& view, BoardCommands& board,
               const MainWindowMenus& menus);

    // Before a command replaces the controls: true when there is nothing to lose, or the
    // technician chose "Discard", or "Save..." saved them; false for "Cancel" or a save
    // that did not happen. Asks nothing when nothing changed.
    bool mayDiscardEdits();

    // A command's change of the controls as one undo step: made before the change, it
    // records the step `name` as it goes out of scope, when anything changed, and shows
    // the changed controls.
    class Step {
    public:
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;
        // False when the technician kept the edits: the command does not go on.
        explicit operator bool() const { return owner_ != nullptr; }

    private:
        friend class EditSafety;
        Step(EditSafety* owner, QString name);
        EditSafety* owner_;
        QString name_;
        EditHistory::State before_;
    };
    Step step(const QString& name);
    // The same for a command that replaces the controls: the question comes first.
    Step replace(const QString& name);
    // The lists import: its form replaces the window's as one step.
    void takeImport(const Form& form);

    void undo();
    void redo();
    const EditHistory& history() const { return history_; }

private:
    EditHistory::State now() const;
    bool record(const QString& name, const EditHistory::State& before);
    void aboutToEdit(const FormControl& control);
    void closeUserStep();
    // Undo (back) or Redo: the focused box's typing first, else the window's last step.
    void takeStep(bool back);
    void apply(const EditHistory::State& state);
    void refresh();
    // The step Undo (back) or Redo would take now, for the menu; empty when none.
    QString stepName(bool back) const;

    QMainWindow* window_;
    EditorSession& session_;
    FormView& view_;
    BoardCommands& board_;
    MainWindowMenus menus_;
    QString caption_;
    EditHistory history_;
    // A user's edit under way (a box being typed in): the controls before it.
    struct UserStep {
        const FormControl* control;
        EditHistory::State before;
    };
    std::optional<UserStep> userStep_;
    std::optional<EditHistory::State> beforeRead_;
};
