#pragma once

#include <QString>

// The link's two messages, exactly as the technician has always seen them.
namespace LinkMessages {

QString title();           // "Communications Error"
QString commLinkError();   // three lines joined by CR LF
QString invalidPassword(); // two lines joined by CR LF

} // namespace LinkMessages
