#include "calls/handlingparts.h"

#include "calls/handlingreceiver.h"
#include "calls/procdlg.h"
#include "kit/consolehost.h"

namespace talmor {

namespace {

// The receiver lives as long as the processing list, which the window's pane slot owns: both go
// only with the window.
class HandlingOwner : public QObject {
public:
    HandlingOwner(ConsoleHost& window, CProcDlg& list) : QObject(&list), handling_(window, list) {
        window.routes().handling = &handling_;
    }

private:
    CallHandling handling_;
};

} // namespace

void InstallHandlingParts(ConsoleHost& window) {
    auto* list = new CProcDlg(window);
    window.placeProcessPane(list);
    new HandlingOwner(window, *list);
}

} // namespace talmor
