#include "calls/warndlg.h"

#include <QPainter>

#include "calls/callresources.h"
#include "calls/calltexts.h"
#include "console/artwork.h"

namespace talmor {

namespace {
constexpr uint32_t kMainWindowType = 19;
const QSize kPictureSize(390, 124);
} // namespace

CWarnDlg::CWarnDlg(WindowRegistry& registry)
    : QDialog(nullptr), RegisteredWindow(registry, kWindowType, 0, 0), registry_(registry),
      picture_(RenderCallPicture(QStringLiteral(":/calls/warning.svg"), kPictureSize)) {
    // No parent: a child window would be disabled together with the main window.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8(text::kReminderCaption));
    setWindowIcon(art::AppIcon());
    setFixedSize(kPictureSize);
    enableMainWindow(false);
    show();
}

CWarnDlg::~CWarnDlg() = default;

QWidget* CWarnDlg::mainWindow() const {
    return dynamic_cast<QWidget*>(registry_.findWindow(kMainWindowType, 0, 0));
}

void CWarnDlg::enableMainWindow(bool enable) {
    if (QWidget* window = mainWindow()) {
        window->setEnabled(enable);
    }
}

void CWarnDlg::done(int result) {
    // The frame's close button and Esc both end here.
    enableMainWindow(true);
    QDialog::done(result);
}

void CWarnDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(0, 0, picture_);
}

} // namespace talmor
