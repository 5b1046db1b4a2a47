#pragma once

#include <QObject>

#include "kit/eventroutes.h"

namespace talmor {

class ConsoleHost;
class ContactPart;
class CSearchResultsDlg;

// The receiver of the search wizards: opens a wizard of each kind at most, and hands each
// search reply to the results page that waits for it, by the reply's acknowledged sequence
// number. A reply that no waiting page asked for changes nothing.
class SearchPart : public QObject, public SearchReceiver {
    Q_OBJECT
public:
    SearchPart(ConsoleHost& window, ContactPart& contacts);

    void onSearchResultA(std::vector<SearchEntryA> entries, uint16_t ackSeq) override;
    void onSearchResultB(std::vector<SearchEntryB> entries, uint16_t ackSeq) override;
    void onSearchResultD(std::vector<SearchEntryD> entries, uint16_t ackSeq) override;
    void openSearchWizard(uint32_t windowType) override;

private:
    // The results page of `resultsType` that waits for `ackSeq`, or none.
    CSearchResultsDlg* waitingPage(uint32_t resultsType, uint16_t ackSeq) const;

    ConsoleHost& window_;
    ContactPart& contacts_;
};

} // namespace talmor
