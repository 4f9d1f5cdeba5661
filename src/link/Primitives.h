#pragma once

#include "LinkContext.h"

#include <QByteArray>

// The building blocks of every board dialogue.

// The board needs this much line silence before every byte of paced output.
inline constexpr qint64 kPaceMicros = 8000;
// How long a wait blocks for new bytes before it looks at the cancel token again.
inline constexpr int kPollMillis = 10;
// A wait this long without a byte tells the context of the silence (the window then
// says the board is not answering); the wait itself goes on.
inline constexpr qint64 kSilenceNoticeMillis = 5000;

// Paced output: at least 8 ms before every byte, the first included, measured from
// the moment the previous byte was handed over. An empty text writes nothing.
LinkStatus Send(LinkContext& ctx, const QByteArray& text);
// Unpaced output: the whole text at line speed.
LinkStatus SendFast(LinkContext& ctx, const QByteArray& text);
// Every received byte not yet read (also used to drop stale bytes).
QByteArray Input(LinkContext& ctx);
// One counted reply: `count` of the bytes received (fewer when fewer have arrived).
// What arrived beyond it is the start of the next reply and stays pending: a board
// sends its read replies on its own, and an adapter or a busy PC can hand over two
// of them at once.
QByteArray takeReply(LinkContext& ctx, qint64 count);
// Pause without looking at the line.
void Sleep(LinkContext& ctx, int millis);
// One progress step.
void UpdateProgressBar(LinkContext& ctx);

// Counted wait: ends Ok once at least `count` bytes are pending. A cancel is
// noticed only by a pass that finds too few bytes.
LinkStatus waitForCount(LinkContext& ctx, qint64 count);

// Framed wait: appends every piece that arrives to `accumulator` and ends Ok once
// the accumulator holds `terminator` (at its end, or followed by the start of the
// next frame where a piece brought both). The cancel token is looked at on every
// pass that has not found the terminator, also while bytes are arriving.
LinkStatus waitForFrame(LinkContext& ctx, QByteArray& accumulator, const QByteArray& terminator);

// Words and codes travel as their characters, one byte each (0x00..0xFF).
QByteArray wordBytes(const QString& word);
QString wordText(const QByteArray& bytes);

// The port's failure as a status (Ok while it works).
LinkStatus portStatus(const LinkContext& ctx);
