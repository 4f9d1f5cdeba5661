#pragma once

#include "MemoryMap.h"
#include "Product.h"

#include <QString>
#include <QStringList>

#include <array>

// The editor as a value: every editing control of the main window with its
// value or text and its enabled flag, the captions that change at run time,
// and the ticks of the product and serial-port menus. The main window is a
// view of this; the command-line tool uses it without a display.
// Member names follow the window's control names.

struct TextBox {
    QString text;
    bool enabled = true;
    bool operator==(const TextBox&) const = default;
};

struct CheckBox {
    int value = 0; // 0 clear, 1 set, 2 greyed
    bool enabled = true;
    bool operator==(const CheckBox&) const = default;
};

// A selection-only drop-down list with a fixed list of items.
struct ComboBox {
    QStringList items;
    int index = -1; // -1: no item selected
    bool enabled = true;

    QString text() const { return index >= 0 && index < items.size() ? items[index] : QString(); }
    // Selects the item whose text is exactly `text`; false (selection unchanged) if there is none.
    bool select(const QString& text);
    bool operator==(const ComboBox&) const = default;
};

struct Label {
    QString caption;
    bool enabled = true;
    bool operator==(const Label&) const = default;
};

struct Form {
    static constexpr int kGroups = 16;
    static constexpr int kSpeedDials = 14;

    // Top strip.
    TextBox ProgAccessCode;
    Label lblProduct; // short product name
    Label Label7;     // "COM1:" .. "COM4:"

    // Paging Codes.
    TextBox PrimaryCode, SecondaryCode, LowerBlockCode, UpperBlockCode;

    // Options.
    ComboBox cmbSystemTone, cmbSystemID, cmbMandown;
    Label Label4; // "Mandown Timer"
    CheckBox chkEmergency, chkPriority, chkConventional, chkClearChannel, chkRadioKill;
    CheckBox chkDTMFMic, chkVoiceEncryption, chkRoaming, chkANI;

    // Group Codes.
    CheckBox chkFleetDispatch;
    Label Label3; // "Group Code"
    Label Label2; // "Alpha Tag"
    std::array<Label, kGroups> Label1;
    std::array<TextBox, kGroups> GroupCode;
    std::array<TextBox, kGroups> GroupAlpha;

    // Speed Dial Programming.
    CheckBox chkMemorySpeed;
    Label Label5;  // "Speed Dial Numbers"
    Label Label6;  // "Alpha Tag"
    Label Label8;  // "Lock"
    Label Label25; // "Turbo Speedial"
    std::array<Label, kSpeedDials> Label23;
    std::array<TextBox, kSpeedDials> SpeedDial;
    std::array<TextBox, kSpeedDials> SpeedAlpha;
    std::array<CheckBox, kSpeedDials> chkLock;

    // Menu ticks; index 0 unused, as the menus count from 1.
    std::array<bool, Product::kCount + 1> mnuProduct{}; // 1..kCount
    std::array<bool, 5> mnuSerialConfig{};              // 1..4

    // The window as designed, before start-up: lists filled, nothing selected,
    // group rows disabled, speed-dial rows enabled, chkANI disabled, no ticks.
    static Form designTime();
};

// A row of the window for each group and each speed-dial memory of the board.
static_assert(Form::kGroups == MemoryMap::kGroupCount);
static_assert(Form::kSpeedDials == MemoryMap::kSpeedDialCount);
