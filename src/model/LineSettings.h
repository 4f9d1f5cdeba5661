#pragma once

#include <QString>

#include <optional>

// The line settings of a product as the board expects them, written "4800,n,8,2":
// baud rate, parity letter, data bits, stop bits.
struct LineSettings {
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    int baudRate = 4800;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::Two;

    // Nothing for a malformed text; *error (when given) then says which field is wrong.
    static std::optional<LineSettings> parse(const QString& text, QString* error = nullptr);
    // "4800,n,8,2", as parse reads it.
    QString text() const;

    bool operator==(const LineSettings&) const = default;
};
