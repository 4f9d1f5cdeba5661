#pragma once

#include "Backups.h"
#include "BoardImage.h"
#include "Compare.h"
#include "DialogueResults.h"
#include "LinkContext.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// A board command from the port to its backup and verify, one function for the
// window and vireo: the window runs it on the link's thread, vireo on its own.
namespace BoardJob {

enum class Kind {
    LinkCheck,           // "Establish Comm Link to Logic Board"
    Read,                // "Read from Logic Board" into a copy of the image
    Write,               // "Write to Logic Board" of an image built by EditorSession::outgoing
    Verify,              // the board read back and compared with what a write sent
    ForceInitialization, // "01" CR, paced; nothing is read back
};

struct Request {
    Kind kind = Kind::LinkCheck;
    int product = 1;
    QString accessCode = {};     // for the link check
    bool linkCheckFirst = false; // vireo runs the link check before a read or write
    BoardImage image = {};       // Read: the image the board's words go into; Write, Verify: what is (was) sent
    bool backUp = true;          // back up a read or write that reached the transfer
    bool verify = false;         // Write: after a complete write, read the board back and compare
    bool backUpFirst = false;    // Write: first read the board into a before-write backup
    bool keepNoise = false;      // Read: words that are not a configuration are kept, not refused (read --raw)
};

// How the job ended: one list for both front ends.
enum class End {
    Done,            // all that was asked (a verify: the board holds what was sent)
    PortUnavailable, // the port could not be opened
    NoAnswer,        // the link check: no wake-up answer, or the wrong one
    CodeRefused,     // the link check: the board refused the access code
    PortFailed,      // the port failed during the dialogue
    Cancelled,
    TimedOut,     // no byte from the board for the context's silence timeout
    VerifyFailed, // the board read back holds other words than were sent
    BackupFailed, // the before-write backup was not saved, so nothing was written
    // A read that ended with words that are not four hexadecimal digits: another
    // product's board, or line settings the board does not speak. Its words are
    // backed up as they came, and go no further.
    NotAConfiguration,
};

struct Result {
    Kind kind = Kind::LinkCheck;
    int product = 1;
    End end = End::Done;
    QString message;              // the port's reason (PortUnavailable, PortFailed, TimedOut)
    bool transferStarted = false; // the read or write command went to the board
    int wordsDone = 0;            // read: stored; write: handed to the board (Icom: acknowledged)
    int wordsNotHex = 0;          // a completed read: words 0..N that are not four hexadecimal digits
    // Read: the caller's image holding exactly the words the dialogue got to;
    // Write and Verify: what was sent.
    BoardImage image;
    std::optional<Backups::Result> backup; // a read or write that reached the transfer
    QStringList backupProblems;            // a backup or prune that failed; never stops the job
    // Write with backUpFirst: the board's words as they were, saved before the write.
    std::optional<Backups::Result> beforeWrite;
    bool backingUp = false; // ended in the read before the write: nothing was written
    // Verify (also a Write asked to verify): how the read-back ended and what differs.
    bool verified = false;
    End readBackEnd = End::Done;
    QString readBackMessage;
    std::vector<Compare::Difference> differences;

    bool ok() const { return end == End::Done; }
};

// The context is told of each phase as it starts: the link check, then a transfer
// (after the port and any link check) with the progress's maximum: Reading, or
// BackingUp (the read before a write), Writing and Verifying. A write asked to
// verify waits at the context's holdBeforeVerify, when set, before the read-back.
Result run(LinkContext& ctx, const Request& request);

// Opens the port for a transfer of `product` unless it is open and working (a port
// that failed is opened afresh: openWorkingPort, with the product's line settings);
// false with the reason when it cannot be opened.
bool openPort(LinkContext& ctx, int product, QString* why);

// The job's end for people: `what` is a line for vireo ("the link failed after 30
// of 99 words: ..."), `reason` the paragraph the window adds to its message box,
// and `message` the board programmer's own message for it (the link-failure
// message, the access-code message, the cancel message). A write that went wrong
// after its before-write backup has `backupNote`, which both front ends show last,
// naming the file to write back.
struct Description {
    QString what;
    QString reason;
    QString message;
    QString backupNote = {};
};
Description describe(const Result& result, std::optional<std::chrono::milliseconds> timeout = {});

// A read's words that are not a configuration, in words: "The board's answer is not
// a configuration: 3 of 99 words are not four hexadecimal digits. Check that ...".
QString notAConfiguration(const Result& result);

// Why a verify could not read the board back ("the read-back was cancelled."); empty
// when it did, and its differences tell.
QString readBackFailure(const Result& result);

} // namespace BoardJob
