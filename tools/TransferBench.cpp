// vireo-bench: how close each product's read and write come to what the line and
// the board allow, and what they cost the programmer in processor time.
//
// Each transfer runs over a real pseudo-terminal against the in-process virtual
// board, which puts its bytes out at the line's character rate and answers after
// a fixed turnaround. The floor is what those bytes cannot beat: 8 ms before
// every paced byte, every board character at 11 bits, one turnaround per reply,
// and for the Icom write its 100 ms pause (see floorMs for what the emulated
// line leaves out). --latency-ms L puts a USB adapter with that latency timer in
// the line, which hands the board's bytes over once per tick: what it costs shows
// against the same floor.
#include "PtyRig.h"

#include <LinkOperations.h>

#include <QCoreApplication>

#include <sys/resource.h>

#include <cstdio>

namespace {

constexpr auto kTurnaround = std::chrono::milliseconds(5);
constexpr double kBitsPerChar = 11.0;

struct Row {
    int product;
    bool write;
    int words;
    qsizetype bytesOut;
    qsizetype bytesIn;
    double wallMs;
    double floorMs;
    double cpuMs;
    bool ok;
};

double threadCpuMs()
{
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Replies the board makes: one per word, and the Vertex and Icom boards also
// answer the write command.
int replies(int product, bool write)
{
    const ProductInfo& p = Product::info(product);
    const int words = p.lastWord + 1;
    return write && p.family != BoardFamily::Alinco ? words + 1 : words;
}

// The floor as the emulated line allows it. The pseudo-terminal hands each of
// the board's characters over when the character starts, and takes the
// programmer's unpaced frames at once (the board times only its own output), so:
//  - a Vertex or Alinco answer to a paced word is complete one character time
//    sooner than on a real line: its last character is not counted;
//  - an Icom frame follows the last acknowledgement within that character time,
//    so the board, whose line is still busy with it, answers a character later:
//    every character counts, and the frame itself costs nothing.
// The ratio then shows the programmer's own overhead.
double floorMs(int product, bool write, qsizetype bytesOut, qsizetype bytesIn)
{
    const double charMs = kBitsPerChar * 1000.0 / PtyRig::baudOf(product);
    const int answers = replies(product, write);
    const bool icom = Product::info(product).family == BoardFamily::Icom;
    // A read reply follows the last character of the one before by the board's gap,
    // so it is timed in full.
    const qsizetype charsTimed = write && !icom ? bytesIn - answers : bytesIn;
    double ms = charsTimed * charMs + answers * std::chrono::duration<double, std::milli>(kTurnaround).count();
    ms += write && icom ? 100.0 : bytesOut * 8.0;
    return ms;
}

Row measure(int product, bool write, std::chrono::milliseconds latency)
{
    RigSetup setup;
    setup.product = product;
    setup.turnaround = kTurnaround;
    setup.replyGap = kTurnaround;
    setup.latency = latency;
    setup.silenceTimeout = std::chrono::milliseconds(3000);
    PtyRig rig(setup, markedImage(product, 1));
    Row row{product, write, Product::info(product).lastWord + 1, 0, 0, 0, 0, 0, false};
    if (const auto why = rig.start()) {
        std::fprintf(stderr, "product %d: %s\n", product, qPrintable(*why));
        return row;
    }
    BoardImage image = markedImage(product, 2);

    const double cpu0 = threadCpuMs();
    const qint64 t0 = rig.clock.nowMicros();
    const TransferResult r = write ? LinkOperations::write(rig.ctx, product, image)
                                   : LinkOperations::read(rig.ctx, product, image);
    const qint64 t1 = rig.clock.nowMicros();
    const double cpu1 = threadCpuMs();

    row.ok = r.end == TransferResult::End::Completed;
    row.bytesOut = rig.board().received().size();
    row.bytesIn = rig.board().sent().size();
    row.wallMs = (t1 - t0) / 1000.0;
    row.cpuMs = cpu1 - cpu0;
    row.floorMs = floorMs(product, write, row.bytesOut, row.bytesIn);
    return row;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const qsizetype latencyAt = args.indexOf(QStringLiteral("--latency-ms"));
    const std::chrono::milliseconds latency(latencyAt > 0 ? args.value(latencyAt + 1).toInt() : 0);
    std::printf("Board turnaround %lld ms; line rate emulated (11 bits a character)",
                static_cast<long long>(kTurnaround.count()));
    if (latency.count() > 0)
        std::printf("; through a USB adapter with a %lld ms latency timer", static_cast<long long>(latency.count()));
    std::printf(".\n");
    std::printf("| Product | Op | Words | Bytes out | Bytes in | Wall ms | Floor ms | Ratio | CPU %% |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    bool allOk = true;
    for (const ProductInfo& product : Product::kAll) {
        for (const bool write : {false, true}) {
            const Row row = measure(product.index, write, latency);
            allOk = allOk && row.ok;
            std::printf("| %d %s | %s | %d | %lld | %lld | %.0f | %.0f | %.3f | %.2f |%s\n", row.product,
                        Product::info(row.product).shortName, row.write ? "write" : "read", row.words,
                        static_cast<long long>(row.bytesOut), static_cast<long long>(row.bytesIn), row.wallMs,
                        row.floorMs, row.wallMs / row.floorMs, 100.0 * row.cpuMs / row.wallMs, row.ok ? "" : " FAILED");
            std::fflush(stdout);
        }
    }
    return allOk ? 0 : 1;
}
