#include "console/ecpdlg.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include "console/webpane.h"

namespace talmor {

namespace {

// 238 x 174 dialog units of the window's 9-point font.
constexpr QSize kSize(357, 261);

// What the page's cancel element reaches on the console's side. The hook runs in a script world
// of its own, so the page's scripts can neither see nor call it.
class CancelBridge : public QObject {
    Q_OBJECT
public:
    explicit CancelBridge(QDialog* dialog) : QObject(dialog), dialog_(dialog) {}

public slots:
    void cancel() { dialog_->close(); }

private:
    QDialog* dialog_;
};

QString CancelHookScript() {
    return QStringLiteral("new QWebChannel(qt.webChannelTransport, function(channel) {"
                          "  document.addEventListener('click', function(event) {"
                          "    for (var e = event.target; e; e = e.parentElement) {"
                          "      if (e.id === '%1') { channel.objects.ecp.cancel(); return; }"
                          "    }"
                          "  }, true);"
                          "});")
        .arg(QString::fromLatin1(CECPDlg::kCancelElement));
}

} // namespace

CECPDlg::CECPDlg(bool withBrowser, QWidget* owner) : QDialog(owner) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8("拨打电话"));
    setModal(false);
    resize(kSize);
    if (withBrowser) {
        pane_ = new WebPane(this);
        pane_->setGeometry(rect());
        hookCancelElement();
    }
}

void CECPDlg::hookCancelElement() {
    QFile library(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!library.open(QIODevice::ReadOnly)) {
        return;
    }
    QWebEnginePage* page = pane_->view()->page();
    auto* channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("ecp"), new CancelBridge(this));
    page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);
    QWebEngineScript hook;
    hook.setName(QStringLiteral("ecp-cancel"));
    hook.setInjectionPoint(QWebEngineScript::DocumentCreation);
    hook.setWorldId(QWebEngineScript::ApplicationWorld);
    hook.setSourceCode(QString::fromUtf8(library.readAll()) + CancelHookScript());
    page->scripts().insert(hook);
}

void CECPDlg::navigate(const QUrl& url) {
    requested_ = url;
    if (pane_ != nullptr) {
        pane_->navigate(url);
    }
}

void CECPDlg::resizeEvent(QResizeEvent*) {
    if (pane_ != nullptr) {
        pane_->setGeometry(rect());
    }
}

} // namespace talmor

#include "ecpdlg.moc"
