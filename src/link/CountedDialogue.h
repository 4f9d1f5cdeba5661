#pragma once

#include "DialogueResults.h"

#include <BoardImage.h>

#include <QByteArray>

// Steps the Vertex and Alinco dialogues share. Their replies are recognised by
// counting bytes; the families differ in the counts and in how a transfer starts.
namespace CountedDialogue {

inline constexpr char kCR = '\x0D';

// Wake-up for both families: 0xE5 0x2C.
QByteArray wakeUp();
// The access code or a two-digit command, followed by CR.
QByteArray line(const QByteArray& text);

// Drops stale bytes, then sends a two-digit command ("02" read, "03" write) and CR.
LinkStatus startTransfer(LinkContext& ctx, const QByteArray& command);

// Words first..N, one reply of replyLength bytes each, the word in its first four
// bytes; one progress step per word. Each word takes its own reply's bytes only,
// however the replies arrive (in pieces, together, in an adapter's batches). A
// cancel ends the read at once, leaving the word awaited and the rest as they were.
TransferResult readWordReplies(LinkContext& ctx, BoardImage& image, int first, int N, qint64 replyLength);

// Words 0..N, each followed by CR; a progress step right after sending, then a
// wait for an answer of at least answerLength bytes (contents not examined).
TransferResult writeWords(LinkContext& ctx, const BoardImage& image, int N, qint64 answerLength);

} // namespace CountedDialogue
