#pragma once

#include "BoardPing.h"
#include "DialogueResults.h"

#include <BoardImage.h>

// The dialogue of the board fitted to the Vertex radios (VT-60, VTP-50).
// Everything the PC sends is paced.

// Wake-up E5 2C (the answer must start with E5), then the access code and CR
// (accepted when the answer ends in LF CR).
PingResult Ping_Vertex(LinkContext& ctx, const QString& accessCode);
PingRules vertexPingRules(const QString& accessCode);
// Words 0..N into image: "02" CR, a first reply of at least 9 bytes with word 0
// in bytes 4..7, then one reply of at least 6 bytes per word.
TransferResult ReadVertex(LinkContext& ctx, BoardImage& image, int N);
// Words 0..N to the board: "03" CR, an answer of at least 3 bytes, then each word
// and CR, each answered with at least 7 bytes.
TransferResult WriteVertex(LinkContext& ctx, const BoardImage& image, int N);
