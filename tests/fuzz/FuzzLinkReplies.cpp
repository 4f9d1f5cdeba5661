// The fuzzer plays the board: whatever bytes it likes, whenever it likes, to the
// link check, read or write of any product, on virtual time. Whatever it does,
// the dialogue ends (a silent spell ends it), never steps the progress bar past
// N + 1, and leaves the image holding exactly the words it got to: nothing
// beyond what it reports, nothing above N.
//
// Input: product selector, operation (link check, read, write), the progress
// step at which the technician cancels (0: never), the piece at which the cable
// is pulled (0: never), then pieces of [delay in ms] [length] [bytes], each
// arriving that long after the one before.
#include "ScriptedPort.h"

#include <LinkOperations.h>
#include <Product.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr auto kSilence = std::chrono::milliseconds(300);

BoardImage numbered()
{
    BoardImage image;
    for (int i = 0; i <= BoardImage::kLastIndex; ++i)
        image.setWord(i, QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')));
    return image;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    const int product = 1 + data[0] % Product::kCount;
    const int op = data[1] % 3;
    const int cancelStep = data[2];
    const int unplugPiece = data[3];

    ScriptedLink link;
    link.ctx.silenceTimeout = kSilence;
    const int last = LinkOperations::lastWord(product);
    link.ctx.tell = [&link, cancelStep](const JobEvent& e) {
        if (e.kind == JobEvent::Kind::StepDone && ++link.steps == cancelStep)
            link.cancel = true;
    };
    qint64 at = 0;
    int piece = 0;
    for (size_t k = 4; k + 2 <= size;) {
        at += data[k];
        const size_t length = std::min<size_t>(data[k + 1], size - k - 2);
        link.port.arriveAt(at, QByteArray(reinterpret_cast<const char*>(data + k + 2), qsizetype(length)));
        if (++piece == unplugPiece)
            link.port.failAt(at, QStringLiteral("unplugged"));
        k += 2 + length;
    }

    const BoardImage before = numbered();
    if (op == 0) {
        LinkOperations::ping(link.ctx, product, QStringLiteral("47203"));
        check(link.steps == 0);
        return 0;
    }
    BoardImage image = before;
    const TransferResult r = op == 1 ? LinkOperations::read(link.ctx, product, image)
                                     : LinkOperations::write(link.ctx, product, image);
    check(link.steps <= last + 1);
    check(r.wordsDone >= 0 && r.wordsDone <= last + 1);
    check(r.end != TransferResult::End::Completed || r.wordsDone == last + 1);
    // A read changes only the words it reports; a write changes none.
    const int changed = op == 1 ? r.wordsDone : 0;
    for (int i = changed; i <= BoardImage::kLastIndex; ++i)
        check(image.word(i) == before.word(i));
    for (int i = 0; i < changed; ++i)
        check(image.word(i).size() <= 4);
    return 0;
}
