#include "messaging/searchresultsdlg.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/deployment.h"
#include "kit/resultlistmodel.h"
#include "messaging/contactactions.h"
#include "messaging/contactpart.h"
#include "messaging/contactpictures.h"
#include "messaging/searchtexts.h"
#include "messaging/searchwizardkinds.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

namespace {

QPushButton* Button(QWidget* parent, int id, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::number(id));
    return button;
}

// A found user shows the contact pane's mark of being online or offline.
QPixmap PresencePicture(bool online) {
    return StatusPicture(online ? kStatusOnline : kStatusOffline);
}

} // namespace

CSearchResultsDlg::CSearchResultsDlg(QWidget* frame, ConsoleHost& window, ContactPart& contacts,
                                     const SearchWizardKind& kind)
    : QWidget(frame), RegisteredWindow(window.windows(), kind.resultsType, 0, 0), window_(window),
      contacts_(contacts), kind_(kind),
      model_(new ResultListModel(kind.columns(), &PresencePicture, this)),
      list_(new QTableView(this)), previous_(Button(this, 4, text::kPreviousPage)),
      next_(Button(this, 3, text::kNextPage)), add_(Button(this, 1069, text::kAddAsContact)),
      back_(Button(this, 1006, text::kPreviousStep)),
      cancel_(Button(this, 1115, text::kCancelStep)) {
    list_->setObjectName(QStringLiteral("1068"));
    list_->setModel(model_);
    SetUpResultList(*list_, kind.columns());

    connect(previous_, &QPushButton::clicked, this, &CSearchResultsDlg::previousPage);
    connect(next_, &QPushButton::clicked, this, &CSearchResultsDlg::nextPage);
    connect(add_, &QPushButton::clicked, this, &CSearchResultsDlg::addSelected);
    connect(list_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { openMember(index.row()); });

    auto* paging = new QHBoxLayout;
    paging->addWidget(previous_);
    paging->addWidget(next_);
    paging->addStretch();
    paging->addWidget(add_);
    auto* steps = new QHBoxLayout;
    steps->addStretch();
    steps->addWidget(back_);
    steps->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(paging);
    layout->addLayout(steps);
    enableButtons();
}

void CSearchResultsDlg::start(const SearchQuery& query) {
    query_ = query;
    paging_.restart();
    model_->clear();
    ask();
}

void CSearchResultsDlg::ask() {
    waiting_ = true;
    enableButtons();
    key2 = SendSearch(window_.client(), kind_.kind, query_, paging_.cursor());
}

void CSearchResultsDlg::onReply(std::vector<ResultRow> rows, uint16_t ackSeq) {
    // Sequence number 0 names no request (and as a registry key it would match any page).
    if (!waiting_ || ackSeq == 0 || ackSeq != key2) {
        return;
    }
    waiting_ = false;
    key2 = 0;
    if (paging_.addReply(std::move(rows))) {
        showCurrent();
    }
    enableButtons();
}

void CSearchResultsDlg::onTimedOut(uint32_t seq) {
    if (!waiting_ || seq != key2) {
        return;
    }
    // The operator can ask again at once; a reply that still comes finds no waiting page.
    waiting_ = false;
    key2 = 0;
    enableButtons();
    window_.ui().notice(this, QString::fromUtf8(kind_.timedOut));
}

void CSearchResultsDlg::nextPage() {
    if (waiting_ || !paging_.canGoOn()) {
        return;
    }
    if (paging_.next()) {
        showCurrent();
        enableButtons();
        return;
    }
    ask();
}

void CSearchResultsDlg::previousPage() {
    if (!waiting_ && paging_.previous()) {
        showCurrent();
        enableButtons();
    }
}

void CSearchResultsDlg::addSelected() {
    const QModelIndexList selected = list_->selectionModel()->selectedRows();
    const uint32_t userId = selected.isEmpty() ? 0 : model_->idAt(selected.first().row());
    if (userId == 0) {
        window_.ui().error(this, QString::fromUtf8(kind_.nothingSelected));
        return;
    }
    if (contacts_.requestAdd(userId, kind_.addToDefaultGroup) == AddCheck::AlreadyContact) {
        window_.ui().error(this, QString::fromUtf8(kind_.alreadyContact));
    }
}

void CSearchResultsDlg::openMember(int row) {
    const uint32_t userId = model_->idAt(row);
    if (userId == 0 || kind_.memberHost == MemberHost::None) {
        return;
    }
    const Deployment& deployment = window_.deployment();
    window_.ui().openInBrowser(MemberPageUrl(kind_.memberHost == MemberHost::Providers
                                                 ? deployment.providerMemberInfoHost
                                                 : deployment.memberInfoHost,
                                             userId));
}

void CSearchResultsDlg::showCurrent() {
    if (const std::vector<ResultRow>* rows = paging_.shown()) {
        model_->show(*rows);
        list_->scrollToTop();
    }
}

void CSearchResultsDlg::enableButtons() {
    previous_->setEnabled(!waiting_ && paging_.canGoBack());
    next_->setEnabled(!waiting_ && paging_.canGoOn());
}

} // namespace talmor
