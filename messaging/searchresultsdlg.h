#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

#include "messaging/searchconditions.h"
#include "messaging/searchpaging.h"
#include "protocol/registeredwindow.h"

class QPushButton;
class QTableView;

namespace talmor {

class ConsoleHost;
class ContactPart;
class ResultListModel;
struct SearchWizardKind;

// The results page of a search wizard: it asks the server, keeps the replies and pages through
// them, adds the chosen user as a contact and opens the user's member page. While it waits for
// a reply its key2 is the request's sequence number, by which the reply and the time-out find
// it; otherwise key2 is 0 and nothing the server sends reaches it.
class CSearchResultsDlg : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    CSearchResultsDlg(QWidget* frame, ConsoleHost& window, ContactPart& contacts,
                      const SearchWizardKind& kind);

    // A new search for `query`: the stored replies go and the first part is asked for.
    void start(const SearchQuery& query);
    // A reply to the request with `ackSeq`; ignored unless this page waits for exactly it.
    void onReply(std::vector<ResultRow> rows, uint16_t ackSeq);
    void onTimedOut(uint32_t seq) override;
    bool waiting() const { return waiting_; }

    // "下页", "上页", "加为联系人", and a double-click on row `row`.
    void nextPage();
    void previousPage();
    void addSelected();
    void openMember(int row);

    const SearchPaging& paging() const { return paging_; }
    ResultListModel& rows() { return *model_; }
    QTableView& list() { return *list_; }
    QPushButton& previousButton() { return *previous_; }
    QPushButton& nextButton() { return *next_; }
    QPushButton& addButton() { return *add_; }
    QPushButton& backButton() { return *back_; }
    QPushButton& cancelButton() { return *cancel_; }

private:
    void ask();
    void showCurrent();
    void enableButtons();

    ConsoleHost& window_;
    ContactPart& contacts_;
    const SearchWizardKind& kind_;
    SearchQuery query_;
    SearchPaging paging_;
    bool waiting_ = false;
    ResultListModel* model_;
    QTableView* list_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* add_;
    QPushButton* back_;
    QPushButton* cancel_;
};

} // namespace talmor
