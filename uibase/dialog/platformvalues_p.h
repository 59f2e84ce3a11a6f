#pragma once

// Numbers the platform libraries give a fixed meaning without naming them: UI event types,
// the reserved control ids, widget list anchors, tip placements and the button type. The
// dialogs use these names instead of any enumerator of a particular toolkit build, so they
// compile against whichever toolkit is linked. Private to the library.

#include "uibase/dialog/contracts/basewidget.h"

#include <QFlags>

namespace Omra {
namespace ui {

// Event types.
constexpr int eventPress = 1;              // float button: mouse press accepted
constexpr int eventMove = 2;               // float button: mouse moved over it
constexpr int eventClick = 5;              // buttons, float button, clickable text
constexpr int eventLeave = 7;              // float button: mouse left it
constexpr int eventActivate = 10;          // clickable text line activated
constexpr int eventCheckToggled = 69;      // check box toggled, isChecked() already updated
constexpr int eventTextEdited = 76;        // line edit: the user edited the text
constexpr int eventTextChanged = 77;       // line edit: the text changed
constexpr int eventComboTextChanged = 104; // editable combo box text changed

// Ids the dialog base reserves: close rejects, confirm calls onOK() and accepts.
constexpr int idClose = 101;
constexpr int idConfirm = 102;

// Where a widget list entry sits across the list's direction.
constexpr EWidgetAnchor anchorLeading = static_cast<EWidgetAnchor>(1);
constexpr EWidgetAnchor anchorTrailing = static_cast<EWidgetAnchor>(2);
constexpr EWidgetAnchor anchorCenter = static_cast<EWidgetAnchor>(3);

// Tip placements beside an input field and beside a button.
constexpr QFlags<EAlign> tipAtField = QFlags<EAlign>(QFlag(0x41));
constexpr QFlags<EAlign> tipAtButton = QFlags<EAlign>(QFlag(0x40));

// The accent look of the small normal button.
constexpr ENormalButtonType emphasisButton = static_cast<ENormalButtonType>(1);

} // namespace ui
} // namespace Omra
