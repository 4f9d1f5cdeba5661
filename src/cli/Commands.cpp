#include "Commands.h"

#include <array>

namespace Cli {

std::span<const Command> commands()
{
    static const std::array<Command, 2> table{{
        {"dump", "Show a board data file as the programmer's window would show it.", dump},
        {"convert", "Change settings of a board data file, or turn it into another product's file.", convert},
    }};
    return table;
}

} // namespace Cli
