#include "console/webpane.h"

#include <QWebEngineView>

namespace talmor {

WebPane::WebPane(QWidget* parent) : QWidget(parent), view_(new QWebEngineView(this)) {
    view_->setContextMenuPolicy(Qt::NoContextMenu);
}

void WebPane::navigate(const QUrl& url) {
    url_ = url;
    view_->load(url);
}

void WebPane::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
}

} // namespace talmor
