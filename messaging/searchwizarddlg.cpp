#include "messaging/searchwizarddlg.h"

#include <QPushButton>
#include <QStackedLayout>

#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "messaging/searchconditionsdlg.h"
#include "messaging/searchresultsdlg.h"
#include "messaging/searchwizardkinds.h"
#include "protocol/ownprofile.h"
#include "protocol/registeredwindow.h"

namespace talmor {

CSearchWizardDlg::CSearchWizardDlg(ConsoleHost& window, ContactPart& contacts,
                                   const SearchWizardKind& kind)
    : QDialog(&window.mainWidget()), RegisteredWindow(window.windows(), kind.frameType, 0, 0),
      window_(window), kind_(kind),
      conditions_(new CSearchConditionsDlg(this, window.windows(), kind, window.own().record)),
      results_(new CSearchResultsDlg(this, window, contacts, kind)),
      pages_(new QStackedLayout(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QString::fromUtf8(kind.caption));
    setWindowIcon(window.mainWidget().windowIcon());
    resize(620, 440);

    pages_->addWidget(conditions_);
    pages_->addWidget(results_);
    pages_->setCurrentWidget(conditions_);

    connect(&conditions_->nextButton(), &QPushButton::clicked, this, &CSearchWizardDlg::search);
    connect(&conditions_->cancelButton(), &QPushButton::clicked, this, &QDialog::close);
    connect(&results_->backButton(), &QPushButton::clicked, this,
            &CSearchWizardDlg::backToConditions);
    connect(&results_->cancelButton(), &QPushButton::clicked, this, &QDialog::close);
}

void CSearchWizardDlg::search() {
    const QueryOrRefusal built =
        BuildQuery(kind_.kind, conditions_->conditions(), window_.own().record);
    if (!built.query) {
        window_.ui().error(this, QString::fromUtf8(built.refusal));
        return;
    }
    pages_->setCurrentWidget(results_);
    results_->start(*built.query);
}

void CSearchWizardDlg::backToConditions() {
    pages_->setCurrentWidget(conditions_);
}

} // namespace talmor
