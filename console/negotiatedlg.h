#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;

namespace talmor {

class WebPane;

// "协议": the platform's agreement page, accepted once per operator.
class CNegotiateDlg : public QDialog {
    Q_OBJECT
public:
    CNegotiateDlg(const QUrl& page, bool withBrowser, QWidget* parent = nullptr);

    QUrl page() const { return page_; }
    WebPane* browser() const { return browser_; }
    QPushButton* acceptButton() const { return accept_; }
    QPushButton* refuseButton() const { return refuse_; }

private:
    QUrl page_;
    WebPane* browser_ = nullptr;
    QPushButton* accept_;
    QPushButton* refuse_;
};

} // namespace talmor
