#pragma once

#include "ui/CommandIds.h"

#include <span>

namespace fl::menus {

// One line of a menu: a command, a separator line, or a submenu that the next lines fill
// up to its end.
struct Line {
    enum Kind { Command, Separator, Submenu, EndSubmenu };
    Kind kind;
    CommandId command;   // Command (else no command)
    const char* name;    // Separator and Submenu: the object name
    const char* caption; // Command and Submenu: the text with its "&" marks
    const char* shortcut;
};

struct Menu {
    const char* name;
    const char* caption;
    std::span<const Line> lines;
};

// The menus of the main window, in order.
std::span<const Menu> menuBar();

// The commands that start disabled; the bird page sets most of them for every species shown.
std::span<const CommandId> startDisabled();

// The toolbar's buttons, in order: each is the action of the command it runs.
struct ToolButton {
    const char* key;
    const char* tooltip;
    CommandId command;
    int image; // of the main window's image list
};
std::span<const ToolButton> toolbar();

// The key of the button after which the species list sits on the toolbar.
inline constexpr const char* kListAfterKey = "Next";

} // namespace fl::menus
