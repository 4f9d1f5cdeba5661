#include "LinkMessages.h"

namespace LinkMessages {

QString title()
{
    return QStringLiteral("Communications Error");
}

QString commLinkError()
{
    return QStringLiteral("Unable to Establish Communications Link with Logic Board.\r\n"
                          "Please check Power and Serial Cable connections.\r\n"
                          "Also verify Product and Serial Port Menu items.");
}

QString invalidPassword()
{
    return QStringLiteral("The Access Code entered is invalid.\r\n"
                          "Re-cycle Power to Logic Board, and try again.");
}

} // namespace LinkMessages
