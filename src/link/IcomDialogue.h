#pragma once

#include "BoardPing.h"
#include "DialogueResults.h"

#include <BoardImage.h>

#include <QByteArray>
#include <QList>

// The dialogue of the board fitted to the Icom radios (UT-105, UT-117). Every
// message is a frame ending in 0xFD. The PC's frames end their text with CR LF,
// the board's with LF CR, so an echo of the PC's own frame is never taken for
// an answer. The link check and the read are paced; the write goes at line speed.

namespace IcomFrame {
// FE FE EE EF E8 20 24 00 00, 0x00, FD
QByteArray wakeUp();
// FE FE EE EF E8 20 24 00 00, 0x02, text, 0D 0A, FD
QByteArray withText(const QByteArray& text);
// The words of the board's word frames in `frames`, in order: for each frame end
// 0A 0D FD, the (at most) four bytes before it, counted from the previous end.
QList<QByteArray> wordsOf(const QByteArray& frames);
} // namespace IcomFrame

// Wake-up frame (answer must end in "1" FD), then the access-code frame (answer
// must end in 02 "2" 0A 0D FD). Each answer gets 200 ms.
PingResult Ping_Icom(LinkContext& ctx, const QString& accessCode);
PingRules icomPingRules(const QString& accessCode);
// Words 0..N into image: the "02" frame, then one board frame per word.
TransferResult ReadIcom(LinkContext& ctx, BoardImage& image, int N);
// Words 0..N to the board: the "03" frame, then each word's frame, acknowledged
// by a frame ending in 02 0A 0D FD before the next; a progress step per ack.
TransferResult WriteIcom(LinkContext& ctx, const BoardImage& image, int N);
