#include "calls/warndlg.h"

#include <QPainter>

#include "calls/callresources.h"
#include "calls/calltexts.h"
#include "kit/artwork.h"

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
    if (!enable) {
        QWidget* window = mainWindow();
        if (window == nullptr) {
            return;
        }
        // Disabling the window itself would disable every report, SMS, notice and search window
        // it owns as well, and the operator could not finish a call while this one shows. Only
        // the window's own parts are blocked, and only those that were enabled come back.
        for (QWidget* part : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!part->isWindow() && part->isEnabled()) {
                part->setEnabled(false);
                blocked_.push_back(part);
            }
        }
        return;
    }
    for (const QPointer<QWidget>& part : blocked_) {
        if (part) {
            part->setEnabled(true);
        }
    }
    blocked_.clear();
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
