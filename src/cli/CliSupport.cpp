#include "CliSupport.h"
#include "Commands.h"

#include "Product.h"

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
    return QStringLiteral("1..%1").arg(Product::kCount);
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

std::optional<int> parseFileCommand(QCommandLineParser& parser, const FileCommand& c, const QStringList& args,
                                    int* status)
{
    *status = kInvalid;
    if (!parseArguments(parser, c.name, args))
        return std::nullopt;
    if (parser.isSet(QStringLiteral("help"))) {
        printHelp(parser, c.usage);
        *status = kOk;
        return std::nullopt;
    }
    if (parser.positionalArguments().size() != c.files || !parser.isSet(QStringLiteral("product"))
        || (c.output && !parser.isSet(QStringLiteral("o")))) {
        err() << "Usage: " << c.usage << "\n";
        return std::nullopt;
    }
    return productOption(parser.value(QStringLiteral("product")), QStringLiteral("--product"));
}

} // namespace Cli
