#include "console/webpane.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace talmor {

bool BrowserAllowed(bool runningAsRoot, const char* disableSandbox) {
    return !runningAsRoot || (disableSandbox != nullptr && *disableSandbox != '\0');
}

WebPane::WebPane(QWidget* parent) : QWidget(parent), view_(new QWebEngineView(this)) {
    view_->setContextMenuPolicy(Qt::NoContextMenu);
}

void WebPane::navigate(const QUrl& url) {
    url_ = url;
    view_->load(url);
}

void WebPane::back() {
    view_->back();
}

void WebPane::forward() {
    view_->forward();
}

void WebPane::reloadCompletely() {
    view_->page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

void WebPane::makeStrip() {
    view_->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    QWebEngineScript style;
    style.setName("strip");
    style.setInjectionPoint(QWebEngineScript::DocumentReady);
    style.setWorldId(QWebEngineScript::ApplicationWorld);
    style.setSourceCode("var s = document.createElement('style');"
                        "s.textContent = 'html,body{margin:0;padding:0;overflow:hidden;"
                        "font-size:11px;line-height:13px}';"
                        "document.head.appendChild(s);");
    view_->page()->scripts().insert(style);
}

void WebPane::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
}

} // namespace talmor
