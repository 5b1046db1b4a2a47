#pragma once

#include <QUrl>
#include <QWidget>

namespace talmor {

class WebPane;

// The pane of the tab "当前操作": an embedded browser showing back-office pages, 2 pixels in
// from the pane's edges on the console's background. Its history lasts as long as the pane.
// The browser is made with the first page, so a console that never shows one does not start
// the browser engine. Without a browser (a console run by root with the sandbox on) the pane
// only remembers the page asked for last.
class CMyWorkDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMargin = 2;

    CMyWorkDlg(bool withBrowser, QWidget* parent = nullptr);

    void navigate(const QUrl& url);
    void back();
    void forward();
    // Reloads the page completely, past the cache.
    void refresh();
    // The page asked for last.
    QUrl requested() const { return requested_; }
    WebPane* browser() const { return pane_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Enter goes to the page and no further: the main window hides itself on Enter.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool withBrowser_;
    WebPane* pane_ = nullptr;
    QUrl requested_;
};

} // namespace talmor
