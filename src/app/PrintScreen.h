#pragma once

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

namespace PrintScreen {

// Gives the printer to print on, or nothing when there is none.
using PrinterProvider = std::function<std::unique_ptr<QPrinter>()>;

// The desktop's default printer; nothing when no default printer is set up.
std::unique_ptr<QPrinter> defaultPrinter();

// Prints an image of `widget` as it shows now, at its screen size where the page
// allows, scaled down to fit otherwise. False when the printer could not be started.
bool print(QWidget* widget, QPrinter& printer);

} // namespace PrintScreen
