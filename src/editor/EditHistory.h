#pragma once

#include "BoardImage.h"
#include "Form.h"

#include <QString>

#include <deque>

// The window's undo and redo. A step is the editor's value before and after one change
// of the controls (a box edited and left, a check box, a list choice, Increment, Open,
// a read, an import). Taking a step back gives back the controls and image words that
// step changed and nothing else, so a product or port chosen since stands. Nothing here
// touches a board or a file.
class EditHistory {
public:
    struct State {
        Form form;
        BoardImage image;
    };
    // The oldest steps go beyond this many.
    static constexpr int kMaxSteps = 500;

    // Records the step `name` ("Primary Code - ESN", "Open"); nothing when the change
    // changed no control and no word. A new step ends what could be redone.
    bool record(const QString& name, const State& before, const State& after);

    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    // The name of the step Undo or Redo would take; empty when there is none.
    QString undoName() const { return canUndo() ? done_.back().name : QString(); }
    QString redoName() const { return canRedo() ? undone_.back().name : QString(); }

    // `current` with the last step's changes taken back (undo) or made again (redo).
    State undo(const State& current);
    State redo(const State& current);

    // Whether the controls of the window's table and all image words are alike.
    static bool same(const State& a, const State& b);

private:
    struct Step {
        QString name;
        State before;
        State after;
    };
    // The last step of `from` taken back (or made again) on `current`, and moved to `to`.
    static State take(std::deque<Step>& from, std::deque<Step>& to, const State& current, bool back);

    std::deque<Step> done_;
    std::deque<Step> undone_;
};
