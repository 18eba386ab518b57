// The automation dump: what the program shows, as JSON, for tests to read.
//
// The dump is an array of the top-level windows of the calling thread, visible or hidden,
// that belong to the framework (TWinControl::FromHandle), and of the system's dialogs (window
// class #32770, as message boxes are) with their child windows as plain windows. Every
// element is an object:
//
//     class     ClassName() of the control, or the window class of a plain window
//     name      the component name ("" for a plain window)
//     text      the caption or text
//     bounds    [left, top, width, height]: screen coordinates for top-level windows, the
//               parent's client coordinates for the others
//     visible   the control's own visibility (the window's WS_VISIBLE when it has one)
//     enabled   the window's own enabled state (a window a modal loop disabled is false)
//     focused   whether the window has the keyboard focus
//     topmost   top-level windows only
//     clientOrigin  top-level windows only: [x, y], the client area's top-left on the screen
//     checked, itemIndex, items, position
//               where the class publishes Checked, ItemIndex, Items, Position: the values
//               as booleans, numbers and a list of strings
//     children  windowed controls and plain windows: the same objects, from the back of the
//               z-order to the front (the last is drawn on top). A control's windowless
//               children come first, in the order it paints them, and its child windows
//               after them in the window manager's order. Child windows that a system class
//               makes for itself (a combo box's edit) are not listed.
//
// Top-level windows are also listed from the back to the front. Text is UTF-8; the JSON
// escapes quotes, backslashes and control characters.
#pragma once

#include <string>
#include <vector>
#include <windows.h>

namespace kalvo {

class TControl;

std::string DumpWindowsJson();

// The top-level windows of the calling thread, from the front of the z-order to the back.
std::vector<HWND> ThreadWindows();
// One control with its children, as it appears in the dump (not as a top-level window).
std::string DumpControlJson(TControl& control);

} // namespace kalvo
