#pragma once

// The UI event bus as the dialogs may use it: declarations only. The event types and the
// reserved ids are fixed as values, so no enumeration names them here.

#include <QString>

namespace Omra {

class CEventDeliverer
{
public:
    virtual bool handleEvent(int type, int id, int param, QString text, void* data);

protected:
    void deliverEvent(int type, int id, int param, QString text, void* data);
};

} // namespace Omra
