#pragma once

#include "BoardPing.h"
#include "DialogueResults.h"

#include <BoardFamily.h>
#include <BoardImage.h>

// The link check, read and write of a product (its index in the product menu),
// each run with the dialogue of that product's board family and its word count N.
namespace LinkOperations {

// Words 0..N travel; the progress bar's maximum is N + 1.
int lastWord(int product);
int progressMaximum(int product);

PingResult ping(LinkContext& ctx, int product, const QString& accessCode);
// The family's link check as data: its messages, pauses and what its answers must be.
PingRules pingRules(const BoardFamily& family, const QString& accessCode);
// The image is the caller's copy; it comes back holding exactly the words the
// dialogue got to, whatever the end.
TransferResult read(LinkContext& ctx, int product, BoardImage& image);
TransferResult write(LinkContext& ctx, int product, const BoardImage& image);

// "01" CR, paced; no answer is read.
LinkStatus forceInitialization(LinkContext& ctx);

} // namespace LinkOperations
