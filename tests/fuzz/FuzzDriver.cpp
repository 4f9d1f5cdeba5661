// Runs a fuzz target without libFuzzer: the seed files, then a fixed number of
// deterministic mutations of them. Used where clang's libFuzzer is not built,
// so every test run plays a bounded share of hostile input.
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

void run(const QByteArray& input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.constData()), static_cast<size_t>(input.size()));
}

QByteArray mutate(QByteArray input, std::mt19937& rng)
{
    static const char* tokens[] = {"\"", ",", "\r\n", "\n", "\r", "E5", "00E5", " ", "\t", "\"\"", "\xff", "\x00"};
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        const auto pos = input.isEmpty() ? 0 : static_cast<qsizetype>(rng() % (input.size() + 1));
        switch (rng() % 5) {
        case 0: input.insert(pos, tokens[rng() % std::size(tokens)]); break;
        case 1:
            if (!input.isEmpty())
                input[std::min(pos, input.size() - 1)] = static_cast<char>(rng());
            break;
        case 2: input.remove(pos, static_cast<qsizetype>(rng() % 16)); break;
        case 3: input.insert(pos, input.mid(pos, static_cast<qsizetype>(rng() % 64))); break;
        default: input.truncate(pos); break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char* argv[])
{
    std::vector<QByteArray> seeds{QByteArray()};
    for (int i = 1; i < argc; ++i) {
        const QDir dir(QString::fromLocal8Bit(argv[i]));
        for (const QString& name : dir.entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                seeds.push_back(f.readAll());
        }
    }
    const char* env = std::getenv("VIREO_FUZZ_RUNS");
    const long runs = env ? std::atol(env) : 20000;
    std::mt19937 rng(20261207);
    for (const QByteArray& seed : seeds)
        run(seed);
    for (long i = 0; i < runs; ++i)
        run(mutate(seeds[rng() % seeds.size()], rng));
    std::printf("%ld mutated inputs, %zu seeds: no failure\n", runs, seeds.size());
    return 0;
}
