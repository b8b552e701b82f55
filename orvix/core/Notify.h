#pragma once
// The codes a control sends its parent with SendMessageW(code, wParam, lParam):
// what happened to it. The parent's OnMessage(id, code, wParam, lParam) learns
// which control from the id. The values are kept as they always were (owners
// compare them and a few tests record them); a code keeps one meaning per
// control, and where controls read one code differently the entry says so.
#include "orvix/platform/WinTypes.h"

namespace Orvix::Notify {

enum Code : UINT {
    // The pointer went down on a button or an edit field. Lists and tab strips
    // (MListBox, CRecordList, MouseItemList, MTabCtrl, ReporteCtrl) send it when
    // a row, tab or card is chosen on the press: wParam its index.
    Pressed = 1,
    // A click ended on the control (press and release inside, or Space or Enter).
    // With a value: check buttons and MButton3 lParam the new check, CTabCtrl1
    // lParam the chosen tab; combo boxes, menus, level controls, number edits,
    // MSlider (at the end of a drag), list rows and ReporteCtrl wParam the value,
    // row or item chosen; CComboBoxList wParam the row. CTimerButton sends it on
    // each tick of its count, wParam the ticks so far.
    Clicked = 2,
    // A double click, when the control asks for them (SetNotifyDblClk): lParam
    // points at the point.
    DoubleClicked = 3,
    // A right click on a list row (the owner opens the row's menu): wParam the row.
    RightClicked = 5,
    // Space or Enter toggled a check box, radio button or colour button: lParam
    // the new state. The owner hears it instead of Clicked.
    KeyToggled = 7,
    // A scroll bar or slider moved while dragged or stepped: wParam the position.
    // Panels scroll their content when their own bars (ids 1 and 2) send it.
    Moved = 8,
    // A click on a control's second part: a macro or record row's "more" button,
    // a DPI card's colour zone. MEdit sends it when its icon is pressed down
    // (IconClicked follows on the release).
    PartClicked = 9,
    // Typing changed the text (edit fields, number and value edits, the edit box).
    TextChanged = 26,
    // A palette chose a colour: wParam and lParam the colour.
    ColourChosen = 27,
    // A spin box's value changed.
    ValueChanged = 28,
    // Typing ended and the box closed. The edit box and MEdit: wParam the key that
    // ended it (VK_RETURN, VK_ESCAPE, 0 when the window lost activation). Lists
    // with renaming: a row's text changed, lParam the row; CRecordList: a row's
    // delay changed, lParam the row.
    EditEnded = 29,
    // A box opened for typing over the control.
    EditOpened = 30,
    // A click on an MEdit's icon ended (press and release on the icon).
    IconClicked = 31,
    // A held LongPressButton repeats.
    Repeated = 32,
};

}  // namespace Orvix::Notify
