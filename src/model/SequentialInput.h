#pragma once

#include <QByteArray>
#include <QStringList>

// Reads values the way the board data and settings files were always written and
// read: values separated by a comma or a line end (CR LF, CR or LF), a value in
// double quotes taken without its quotes (it may then hold commas and line ends),
// blanks around a value ignored. Bytes become characters one for one (Latin-1),
// so any byte comes back as it was.
namespace SequentialInput {

struct Values {
    QStringList values;
    bool truncated = false; // more than maxValues values were present
};

// Stops after maxValues values; `truncated` says whether any followed.
Values parse(const QByteArray& bytes, int maxValues);

} // namespace SequentialInput
