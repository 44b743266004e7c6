#pragma once
// The keys (and the mouse gestures) of the diagram view, in one table: the
// view looks up what a key does here, and the help window lists the same
// rows. A row without an action is a mouse gesture, listed for the help only.
#include <Qt>

#include <optional>
#include <span>

namespace velmorin {

enum class ViewKeyAction {
    None,             // a mouse gesture: the view's mouse handlers do it
    MoveCursor,       // the cursor one cell that way, the diagram scrolled to show it
    ExtendSelection,  // the block selection grows that way
    PlaceHalf,        // HORIZ or VERT: half a line on that side of the cursor cell
    Place,            // what a click with the current tool does, at the cursor cell
    Erase,            // the element or the line at the cursor cell goes
};

// Which keys a row answers to.
enum class ViewKeyGroup {
    None,
    Arrows,  // each arrow with its direction
    Enter,   // Return and the keypad's Enter
    Delete,
};

struct ViewKeyDef {
    const char* keys;  // as the help shows them
    const char* text;
    ViewKeyGroup group;
    Qt::KeyboardModifier modifier;  // the one modifier held (keypad aside), or none
    ViewKeyAction action;
};

extern const std::span<const ViewKeyDef> ViewKeyTable;

// The row a key press belongs to; nothing for a key the view leaves alone.
const ViewKeyDef* FindViewKey(int key, Qt::KeyboardModifiers modifiers);

}  // namespace velmorin
