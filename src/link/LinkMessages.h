#pragma once

#include <QString>

// The link's two messages, exactly as the technician has always seen them; both
// go in a message box with a stop icon and an OK button under kTitle.
namespace LinkMessages {

inline const QString kTitle = QStringLiteral("Communications Error");

// Shown when the board does not answer, the port fails or cannot be opened.
inline const QString kCommLinkError = QStringLiteral("Unable to Establish Communications Link with Logic Board.\r\n"
                                                     "Please check Power and Serial Cable connections.\r\n"
                                                     "Also verify Product and Serial Port Menu items.");

// Shown when the user cancels a transfer; the board is left in mid-transfer.
inline const QString kTransferCancelled = QStringLiteral("Data Transfer Cancelled...\r\n"
                                                         "Logic Board Power must be re-cycled.");

// Shown when the board refuses the access code.
inline const QString kInvalidPassword = QStringLiteral("The Access Code entered is invalid.\r\n"
                                                       "Re-cycle Power to Logic Board, and try again.");

} // namespace LinkMessages
