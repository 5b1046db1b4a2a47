#include "messaging/searchpart.h"

#include <QApplication>

#include "kit/consolehost.h"
#include "messaging/searchresultsdlg.h"
#include "messaging/searchwizarddlg.h"
#include "messaging/searchwizardkinds.h"
#include "protocol/registeredwindow.h"

namespace talmor {

SearchPart::SearchPart(ConsoleHost& window, ContactPart& contacts)
    : QObject(&window.mainWidget()), window_(window), contacts_(contacts) {}

CSearchResultsDlg* SearchPart::waitingPage(uint32_t resultsType, uint16_t ackSeq) const {
    // 0 names no request; as a registry key it would find any page.
    if (ackSeq == 0) {
        return nullptr;
    }
    auto* page =
        dynamic_cast<CSearchResultsDlg*>(window_.windows().findWindow(resultsType, 0, ackSeq));
    return page != nullptr && page->waiting() ? page : nullptr;
}

void SearchPart::onSearchResultA(std::vector<SearchEntryA> entries, uint16_t ackSeq) {
    if (CSearchResultsDlg* page =
            waitingPage(SearchWizardOf(SearchKind::Subscribers).resultsType, ackSeq)) {
        page->onReply(RowsOf(entries), ackSeq);
    }
}

void SearchPart::onSearchResultB(std::vector<SearchEntryB> entries, uint16_t ackSeq) {
    if (CSearchResultsDlg* page =
            waitingPage(SearchWizardOf(SearchKind::Providers).resultsType, ackSeq)) {
        page->onReply(RowsOf(entries), ackSeq);
    }
}

void SearchPart::onSearchResultD(std::vector<SearchEntryD> entries, uint16_t ackSeq) {
    if (CSearchResultsDlg* page =
            waitingPage(SearchWizardOf(SearchKind::Colleagues).resultsType, ackSeq)) {
        page->onReply(RowsOf(entries), ackSeq);
    }
}

void SearchPart::openSearchWizard(uint32_t windowType) {
    const SearchWizardKind* kind = SearchWizardOfFrame(windowType);
    if (kind == nullptr) {
        return;
    }
    if (auto* open = dynamic_cast<QWidget*>(window_.windows().findWindow(windowType, 0, 0))) {
        if (kind->flashWhenOpen) {
            open->raise();
            open->activateWindow();
            QApplication::alert(open);
        }
        return;
    }
    (new CSearchWizardDlg(window_, contacts_, *kind))->show();
}

} // namespace talmor
