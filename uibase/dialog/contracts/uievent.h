#pragma once

// Stand-in for the platform's UI event bus (UiEvent.dll).
//
// A toolkit widget reports a user action as five values (type, id, param, text, data).
// deliverEvent hands them synchronously up the widget tree: starting at the sender's
// parent widget, every ancestor that is a CEventDeliverer is offered the event, innermost
// first, until one returns true from handleEvent or the first window has been offered. A
// button inside a container thus reaches its dialog, and a sender that is itself a window
// (the float button) reaches its parent's window.

#include "uibase/dialog/contracts/platform_global.h"

#include <QString>

class QWidget;

namespace Omra {

enum EUiEventType {
    UiEventPress = 1,              // float button: press accepted
    UiEventMove = 2,               // float button: mouse moved over it
    UiEventClick = 5,              // buttons, float button, clickable text
    UiEventLeave = 7,              // float button: mouse left it
    UiEventActivate = 10,          // clickable text line activated
    UiEventCheckToggled = 69,      // check box toggled by the user; isChecked() already updated
    UiEventTextEdited = 76,        // line edit: the user edited the text
    UiEventTextChanged = 77,       // line edit: the text changed
    UiEventComboTextChanged = 104, // editable combo box: the edit text changed
};

// Ids with a fixed meaning inside framed dialogs.
enum EReservedControlId {
    CloseButtonId = 101,
    OkButtonId = 102,
};

class OMRA_PLATFORM_EXPORT CEventDeliverer
{
public:
    CEventDeliverer() = default;
    virtual ~CEventDeliverer();

    // Returns true when the event was consumed. The default consumes nothing.
    virtual bool handleEvent(int type, int id, int param, QString text, void* data);

    CEventDeliverer(const CEventDeliverer&) = delete;
    CEventDeliverer& operator=(const CEventDeliverer&) = delete;

protected:
    void deliverEvent(int type, int id, int param, QString text, void* data);
};

} // namespace Omra
