#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace talmor {

// Whether the embedded browser can run: its engine refuses to start for root with its sandbox
// on (and takes the process down with it), so a console run by root shows no pages unless
// the sandbox was turned off for it (as the tests do).
bool BrowserAllowed(bool runningAsRoot, const char* disableSandbox);

// An embedded browser filling its pane, showing one page. Pages are the platform's own (the
// back office and its public site); the pane shows them, it never runs anything of the console.
class WebPane : public QWidget {
    Q_OBJECT
public:
    explicit WebPane(QWidget* parent = nullptr);

    void navigate(const QUrl& url);
    // The browser's history: one page back or forward.
    void back();
    void forward();
    // Reloads the page past the cache.
    void reloadCompletely();
    // For a strip a few pixels high: no scroll bars, no page margins, text small enough to fit.
    void makeStrip();
    // The page asked for last.
    QUrl url() const { return url_; }
    QWebEngineView* view() const { return view_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWebEngineView* view_;
    QUrl url_;
};

} // namespace talmor
