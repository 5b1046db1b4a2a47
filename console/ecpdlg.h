#pragma once

#include <QDialog>
#include <QUrl>

namespace talmor {

class WebPane;

// The call-out window "拨打电话": the call-out service's page for one telephone number. Each
// press of the bar's call button opens another; the window goes when the page's element
// "ButtonCancel" is clicked, or when the operator closes it.
class CECPDlg : public QDialog {
    Q_OBJECT
public:
    // The id of the page element that closes the window.
    static constexpr const char* kCancelElement = "ButtonCancel";

    CECPDlg(bool withBrowser, QWidget* owner);

    void navigate(const QUrl& url);
    QUrl requested() const { return requested_; }
    WebPane* browser() const { return pane_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void hookCancelElement();

    WebPane* pane_ = nullptr;
    QUrl requested_;
};

} // namespace talmor
