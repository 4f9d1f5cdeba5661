#pragma once

#include "BoardPing.h"
#include "DialogueResults.h"

#include <BoardImage.h>

// The dialogue of the board fitted to the Alinco EJ-39D: the Vertex commands,
// but the board does not answer the read and write commands before the data,
// acknowledges each word with fewer bytes, and the link check only asks that
// the board answer at all. Everything the PC sends is paced.

// Wake-up E5 2C and the access code with CR; any answer to each passes.
PingResult Ping_Alinco(LinkContext& ctx, const QString& accessCode);
PingRules alincoPingRules(const QString& accessCode);
// Words 0..N into image: "02" CR, then one reply of at least 6 bytes per word.
TransferResult ReadAlinco(LinkContext& ctx, BoardImage& image, int N);
// Words 0..N to the board: "03" CR and straight on with the words, each
// answered with at least 2 bytes.
TransferResult WriteAlinco(LinkContext& ctx, const BoardImage& image, int N);
