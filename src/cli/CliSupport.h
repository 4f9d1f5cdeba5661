#pragma once

#include "DataFile.h"
#include "EditorSession.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

// What every command shares: output streams, argument parsing, opening a file.
namespace Cli {

QTextStream& out();
QTextStream& err();

// Parses a command's arguments; on a usage error prints it (and the command's help
// hint) on stderr and returns false.
bool parseArguments(QCommandLineParser& parser, const QString& command, const QStringList& args);

// A command's help, under its own usage line.
void printHelp(const QCommandLineParser& parser, const QString& usage);

// Parses a command's arguments, shows its help (and `moreHelp` after it) when asked,
// and checks the number of file arguments and the options it cannot go without. False
// when the command should end now with *status: its help was shown, or a usage error
// reported.
bool parseCommand(QCommandLineParser& parser, const QString& name, const QString& usage, int files,
                  const QStringList& required, const QStringList& args, int* status, const QString& moreHelp = {});

// "1..5" today: the product menu's indexes, for help texts (Product::numbers).
QString productNumbers();
// "--product N": the product menu's index, or a message on stderr.
std::optional<int> productOption(const QString& value, const QString& option);
// The --product N option, described as the command uses it ("%1": the product numbers).
QCommandLineOption productArgument(const QString& description);

// A command on board data files: its name, usage line, number of files, and whether -o is required.
struct FileCommand {
    QString name;
    QString usage;
    int files;
    bool output = false;
};

// Parses a file command's arguments (its options added, --product among them): the
// product; nothing when it should end now with *status (its help was shown, or a
// usage error reported).
std::optional<int> parseFileCommand(QCommandLineParser& parser, const FileCommand& c, const QStringList& args,
                                    int* status);

// A file "Open..." refused, reported on stderr; false then.
bool reportFile(const DataFile::LoadResult& loaded, const QString& path);

// The window as start-up leaves it before the default file (design time, then the
// product's profile), after which the file is opened as "Open..." does; nothing,
// reported, when the file is refused.
std::optional<EditorSession> openLikeTheWindow(const QString& path, int product);

// Saves as "Save As..." does: the entries completed and checked, then the file.
// The exit status; each refusal reported on stderr as "vireo COMMAND: ...".
int saveLikeTheWindow(EditorSession& session, const QString& path, const QString& command);

} // namespace Cli
