#include "Commands.h"

#include <array>

namespace Cli {

std::span<const Command> commands()
{
    static const std::array<Command, 13> table{{
        {"ping", "Check the link to the board and hand it the access code.", ping},
        {"read", "Read the board's configuration into a board data file.", read},
        {"write", "Write a board data file to the board.", write},
        {"restore", "Put a backup back on the board exactly as it was taken.", restore},
        {"backups", "List the backups of reads and writes, newest first.", backups},
        {"doctor", "Diagnose the link to the board step by step, saying which layer failed and what to do.", doctor},
        {"fleet", "Write one file to radio after radio, numbering their primary codes.", fleet},
        {"dump", "Show a board data file as the programmer's window would show it.", dump},
        {"diff", "List the settings in which two board data files differ.", diff},
        {"convert", "Change settings of a board data file, or turn it into another product's file.", convert},
        {"export", "Write the group and speed-dial lists of a board data file to a CSV file.", exportLists},
        {"import", "Put the lists of a CSV file into a board data file.", importLists},
        {"report", "Make the configuration report of a board data file (text, HTML or PDF).", report, true},
    }};
    return table;
}

} // namespace Cli
