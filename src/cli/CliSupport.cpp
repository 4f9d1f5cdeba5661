#include "CliSupport.h"
#include "Commands.h"

#include "Product.h"

#include <algorithm>
#include <cstdio>

namespace Cli {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

bool parseArguments(QCommandLineParser& parser, const QString& command, const QStringList& args)
{
    parser.addHelpOption();
    if (!parser.parse(QStringList{QStringLiteral("vireo ") + command} + args)) {
        err() << "vireo " << command << ": " << parser.errorText() << "\n"
              << "See: vireo " << command << " --help\n";
        err().flush();
        return false;
    }
    return true;
}

void printHelp(const QCommandLineParser& parser, const QString& usage)
{
    QString help = parser.helpText();
    // Qt's first line names the program by the path it was started with.
    help.replace(0, help.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: ") + usage);
    out() << help;
    out().flush();
}

QString productNumbers()
{
    return Product::numbers();
}

std::optional<int> productOption(const QString& value, const QString& option)
{
    bool ok = false;
    const int index = value.toInt(&ok);
    if (ok && Product::isValid(index))
        return index;
    err() << "vireo: " << option << " takes a product number 1 to " << Product::kCount;
    for (const ProductInfo& p : Product::kAll)
        err() << (p.index == 1 ? " (" : ", ") << p.index << " " << p.caption;
    err() << "), not \"" << value << "\"\n";
    err().flush();
    return std::nullopt;
}

QCommandLineOption productArgument(const QString& description)
{
    return {QStringLiteral("product"), description.arg(productNumbers()), QStringLiteral("N")};
}

bool parseCommand(QCommandLineParser& parser, const QString& name, const QString& usage, int files,
                  const QStringList& required, const QStringList& args, int* status, const QString& moreHelp)
{
    *status = kInvalid;
    if (!parseArguments(parser, name, args))
        return false;
    if (parser.isSet(QStringLiteral("help"))) {
        printHelp(parser, usage);
        out() << moreHelp;
        out().flush();
        *status = kOk;
        return false;
    }
    const bool missing = std::any_of(required.begin(), required.end(),
                                     [&parser](const QString& option) { return !parser.isSet(option); });
    if (parser.positionalArguments().size() != files || missing) {
        err() << "Usage: " << usage << "\n";
        return false;
    }
    return true;
}

std::optional<int> parseFileCommand(QCommandLineParser& parser, const FileCommand& c, const QStringList& args,
                                    int* status)
{
    QStringList required{QStringLiteral("product")};
    if (c.output)
        required << QStringLiteral("o");
    if (!parseCommand(parser, c.name, c.usage, c.files, required, args, status))
        return std::nullopt;
    return productOption(parser.value(QStringLiteral("product")), QStringLiteral("--product"));
}

} // namespace Cli
