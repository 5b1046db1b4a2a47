#pragma once

#include <QUrl>
#include <QWidget>

namespace talmor {

class WebPane;

// The header pane of the login dialog: the back office's "header.html". The browser is made
// only once the dialog is on screen, so that the dialog shows at once.
class CHeaderDlg : public QWidget {
    Q_OBJECT
public:
    CHeaderDlg(const QUrl& page, bool withBrowser, QWidget* parent = nullptr);

    QUrl page() const { return page_; }
    bool browserCreated() const { return pane_ != nullptr; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createBrowser();

    QUrl page_;
    bool withBrowser_;
    WebPane* pane_ = nullptr;
};

} // namespace talmor
