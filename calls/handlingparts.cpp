#include "calls/handlingparts.h"

#include "calls/handlingreceiver.h"
#include "calls/procdlg.h"
#include "console/paneslot.h"
#include "console/talmormanagerdlg.h"

namespace talmor {

namespace {

// The receiver lives as long as the processing list, which the window's pane slot owns: both go
// only with the window.
class HandlingOwner : public QObject {
public:
    HandlingOwner(CTalmorManagerDlg& window, CProcDlg& list)
        : QObject(&list), handling_(window, list) {
        window.routes().handling = &handling_;
    }

private:
    CallHandling handling_;
};

} // namespace

void InstallHandlingParts(CTalmorManagerDlg& window) {
    auto* list = new CProcDlg(window);
    window.processPane().setPane(list);
    new HandlingOwner(window, *list);
}

} // namespace talmor
