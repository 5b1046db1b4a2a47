#include "console/negotiatedlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "console/webpane.h"
#include "kit/artwork.h"
#include "kit/texts.h"

namespace talmor {

CNegotiateDlg::CNegotiateDlg(const QUrl& page, bool withBrowser, QWidget* parent)
    : QDialog(parent), page_(page) {
    setWindowTitle(QString::fromUtf8(text::kAgreementCaption));
    setWindowIcon(art::AppIcon());
    resize(620, 460);
    auto* layout = new QVBoxLayout(this);
    if (withBrowser) {
        browser_ = new WebPane(this);
        browser_->navigate(page);
        layout->addWidget(browser_, 1);
    } else {
        // Without the embedded browser the page opens in the system's browser.
        const QString link = page.toString().toHtmlEscaped();
        auto* address = new QLabel("<a href=\"" + link + "\">" + link + "</a>", this);
        address->setTextFormat(Qt::RichText);
        address->setOpenExternalLinks(true);
        address->setAlignment(Qt::AlignCenter);
        layout->addWidget(address, 1);
    }
    accept_ = new QPushButton(QString::fromUtf8(text::kAgreementAccept), this);
    refuse_ = new QPushButton(QString::fromUtf8(text::kAgreementRefuse), this);
    accept_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(accept_);
    buttons->addWidget(refuse_);
    layout->addLayout(buttons);
    connect(accept_, &QPushButton::clicked, this, &CNegotiateDlg::accept);
    connect(refuse_, &QPushButton::clicked, this, &CNegotiateDlg::reject);
}

} // namespace talmor
