// vireo-board: a virtual logic board on a pseudo-terminal, for trying the
// programmer without hardware and for the end-to-end tests.

#include "DataFile.h"
#include "PtyBoard.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

struct Options {
    BoardSetup setup;
    int baud = 0;
    std::chrono::milliseconds latency{0};
    QString link;
    QString memoryFile;
};

[[noreturn]] void fail(const QString& message)
{
    std::fprintf(stderr, "vireo-board: %s\n", qPrintable(message));
    std::exit(2);
}

constexpr int kDefaultProduct = 4;

QString lowerName(const BoardFamily& family)
{
    return QString::fromLatin1(family.name).toLower();
}

// A family alone stands for its product that moves the most words (the first of equals).
int usualProduct(const BoardFamily& family)
{
    int usual = 0;
    for (const ProductInfo& p : Product::kAll) {
        if (p.family == family && (usual == 0 || p.lastWord > Product::info(usual).lastWord))
            usual = p.index;
    }
    return usual;
}

int productFor(const QString& family)
{
    for (const BoardFamily* f : kBoardFamilies) {
        if (family == lowerName(*f))
            return usualProduct(*f);
    }
    return 0;
}

// "vertex, alinco or icom"
QString familyChoices()
{
    QStringList names;
    for (const BoardFamily* f : kBoardFamilies)
        names << lowerName(*f);
    const QString last = names.takeLast();
    return names.isEmpty() ? last : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// "alinco is product 1, icom product 3, vertex product 4"
QString usualProducts()
{
    QStringList parts;
    for (const ProductInfo& p : Product::kAll) {
        if (usualProduct(p.family) == p.index)
            parts << QString::fromLatin1(parts.isEmpty() ? "%1 is product %2" : "%1 product %2")
                         .arg(lowerName(p.family))
                         .arg(p.index);
    }
    return parts.join(QStringLiteral(", "));
}

int numberOption(const QCommandLineParser& parser, const QString& name)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0)
        fail(QStringLiteral("--%1 wants a number, not \"%2\"").arg(name, parser.value(name)));
    return value;
}

// --family and --product, which must agree; either gives the other.
int chosenProduct(const QCommandLineParser& parser)
{
    const QString family = parser.value(QStringLiteral("family")).toLower();
    if (parser.isSet(QStringLiteral("family")) && productFor(family) == 0)
        fail(QStringLiteral("unknown family \"%1\": %2").arg(family, familyChoices()));
    int product = family.isEmpty() ? kDefaultProduct : productFor(family);
    if (parser.isSet(QStringLiteral("product"))) {
        product = numberOption(parser, QStringLiteral("product"));
        if (!Product::isValid(product))
            fail(QStringLiteral("--product wants %1").arg(Product::numbers()));
        if (!family.isEmpty() && lowerName(Product::info(product).family) != family)
            fail(QStringLiteral("product %1 is not of the %2 family").arg(product).arg(family));
    }
    return product;
}

// The board's --help: what it does, its options and its faults.
void describeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A virtual Vireo Logic Board on a pseudo-terminal. It answers the programmer's link check,\n"
                       "read, write and Force Initialization as the board of the chosen family does, until\n"
                       "SIGINT or SIGTERM, or until the unplug fault closes the line.\n"
                       "Family alone: %1.\n\n"
                       "Board behaviour: the wake-up starts a new dialogue at any time; read (02) and write (03)\n"
                       "are obeyed only after the access code was accepted (see --no-lock); Force Initialization\n"
                       "(01) restores the factory memory (access code 47203) and needs no code.\n\n"
                       "Faults (--fault, repeatable):\n")
            .arg(usualProducts())
        + BoardFaults::descriptions().join(QLatin1Char('\n')));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("family"), QStringLiteral("Board family: %1 (default: from --product).").arg(familyChoices()),
         QStringLiteral("name")},
        {QStringLiteral("product"),
         QStringLiteral(
             "Product %1 of the product menu; decides how many words travel (default: %2, or the family's usual one).")
             .arg(Product::numbers())
             .arg(kDefaultProduct),
         QStringLiteral("N")},
        {QStringLiteral("link"),
         QStringLiteral("Path of the symbolic link made to the board's serial port (required)."),
         QStringLiteral("PATH")},
        {QStringLiteral("memory"),
         QStringLiteral("Board data file (.tv2) to start from; the memory is written back to it on exit (a missing "
                        "file is created)."),
         QStringLiteral("FILE")},
        {QStringLiteral("code"),
         QStringLiteral("Access code the board accepts (default: the one held in words 17..19, else 47203)."),
         QStringLiteral("code")},
        {QStringLiteral("baud"),
         QStringLiteral("Character rate to emulate; 0 sends as fast as possible (default: the product's line rate)."),
         QStringLiteral("B")},
        {QStringLiteral("turnaround-ms"), QStringLiteral("Pause before each answer, in milliseconds (default: 5)."),
         QStringLiteral("T")},
        {QStringLiteral("gap-ms"),
         QStringLiteral("Line silence between two read replies, in milliseconds; the board sends them one after "
                        "another on its own, whether or not the programmer has taken the last (default: 5; 0: back "
                        "to back)."),
         QStringLiteral("G")},
        {QStringLiteral("latency-ms"),
         QStringLiteral("Stand in for a USB serial adapter whose latency timer ticks every L milliseconds: what the "
                        "board sends reaches the programmer once per tick, in one batch (FTDI's default: 16; "
                        "default here: 0, each byte as it is sent)."),
         QStringLiteral("L")},
        {QStringLiteral("fault"), QStringLiteral("Switch on a fault (see above)."), QStringLiteral("NAME[:K]")},
        {QStringLiteral("no-lock"), QStringLiteral("Obey read and write also without the access code.")},
    });
}

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    describeOptions(parser);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fail(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

    Options options;
    options.setup.product = chosenProduct(parser);

    options.link = parser.value(QStringLiteral("link"));
    if (options.link.isEmpty())
        fail(QStringLiteral("--link PATH is required"));
    options.memoryFile = parser.value(QStringLiteral("memory"));
    if (parser.isSet(QStringLiteral("code"))) {
        const QString code = parser.value(QStringLiteral("code"));
        if (code.isEmpty() || code.contains(QLatin1Char('\r')))
            fail(QStringLiteral("--code wants the code's characters"));
        options.setup.accessCode = code;
    }
    options.baud = parser.isSet(QStringLiteral("baud")) ? numberOption(parser, QStringLiteral("baud"))
                                                        : Product::info(options.setup.product).line.baudRate;
    if (parser.isSet(QStringLiteral("turnaround-ms")))
        options.setup.turnaround = std::chrono::milliseconds(numberOption(parser, QStringLiteral("turnaround-ms")));
    if (parser.isSet(QStringLiteral("gap-ms")))
        options.setup.replyGap = std::chrono::milliseconds(numberOption(parser, QStringLiteral("gap-ms")));
    if (parser.isSet(QStringLiteral("latency-ms")))
        options.latency = std::chrono::milliseconds(numberOption(parser, QStringLiteral("latency-ms")));
    for (const QString& fault : parser.values(QStringLiteral("fault"))) {
        if (auto error = options.setup.faults.add(fault))
            fail(*error);
    }
    options.setup.requireCode = !parser.isSet(QStringLiteral("no-lock"));
    return options;
}

BoardImage startingMemory(const Options& options)
{
    BoardImage memory = VirtualBoard::factoryMemory(options.setup.product);
    if (options.memoryFile.isEmpty() || !QFileInfo::exists(options.memoryFile))
        return memory;
    // Words the file does not hold keep their factory values.
    const DataFile::LoadResult loaded = DataFile::load(options.memoryFile, memory, DataFile::MarkerRule::NotChecked);
    if (!loaded.ok())
        fail(QStringLiteral("%1: %2").arg(options.memoryFile, loaded.message));
    return memory;
}

void makeLink(const QString& link, const QString& target)
{
    const QFileInfo existing(link);
    if (existing.isSymLink())
        ::unlink(QFile::encodeName(link).constData()); // left over from an earlier run
    else if (existing.exists())
        fail(QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(link));
    if (::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) != 0)
        fail(QStringLiteral("cannot make the link %1").arg(link));
}

void removeLink(const QString& link, const QString& target)
{
    if (QFileInfo(link).symLinkTarget() == target)
        ::unlink(QFile::encodeName(link).constData());
}

} // namespace

int main(int argc, char* argv[])
{
    // Signals are taken synchronously below; block them before any thread exists,
    // so none of them can be delivered elsewhere and kill the board without its save.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vireo-board"));
    const Options options = parseOptions(app);
    const BoardImage memory = startingMemory(options);

    auto board = VirtualBoard::create(options.setup, memory);
    const QString code = board->accessCode();
    PtyBoard line(std::move(board), options.baud, options.latency);
    line.setLogging(false); // served for hours: no byte logs
    if (auto error = line.start())
        fail(*error);
    makeLink(options.link, line.slavePath());

    const ProductInfo& product = Product::info(options.setup.product);
    const QString adapter = options.latency.count() > 0
                                ? QStringLiteral(", adapter latency %1 ms").arg(options.latency.count())
                                : QString();
    std::printf("vireo-board: %s (%s board), access code %s%s, %s, read replies %lld ms apart%s\n"
                "listening on %s -> %s\n",
                product.caption, product.family.name, qPrintable(code),
                options.setup.accessCode ? "" : " (from memory)",
                options.baud > 0 ? qPrintable(QStringLiteral("%1 baud").arg(options.baud)) : "no line rate",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(options.setup.replyGap).count()),
                qPrintable(adapter), qPrintable(options.link), qPrintable(line.slavePath()));
    std::fflush(stdout);

    const timespec tick{0, 100'000'000};
    while (!line.unplugged()) {
        if (sigtimedwait(&stopSignals, nullptr, &tick) > 0)
            break;
    }
    if (line.unplugged())
        std::printf("vireo-board: line closed (unplug fault)\n");
    line.stop();
    removeLink(options.link, line.slavePath());

    int status = 0;
    if (!options.memoryFile.isEmpty()) {
        const DataFile::SaveResult saved = DataFile::save(options.memoryFile, line.memory());
        if (!saved.ok()) {
            std::fprintf(stderr, "vireo-board: %s: %s\n", qPrintable(options.memoryFile), qPrintable(saved.message));
            status = 1;
        }
    }
    std::printf("vireo-board: stopped\n");
    return status;
}
