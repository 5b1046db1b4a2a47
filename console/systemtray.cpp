#include "console/systemtray.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace talmor {

namespace {
constexpr int kMessageMs = 8000;
} // namespace

CloseAction ChooseCloseAction(bool trayAvailable, bool toldBefore) {
    if (!trayAvailable) {
        return CloseAction::Minimise;
    }
    return toldBefore ? CloseAction::Hide : CloseAction::HideAndTell;
}

CSystemTray::CSystemTray(QObject* parent) : QObject(parent) {}

CSystemTray::~CSystemTray() {
    Remove();
}

bool CSystemTray::available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool CSystemTray::showsConsole(int reason) {
    return reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick;
}

void CSystemTray::Create(const QIcon& icon, const QString& tooltip, QMenu* menu) {
    Remove();
    icon_ = new QSystemTrayIcon(this);
    icon_->setContextMenu(menu);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (showsConsole(reason)) {
                    emit showRequested();
                }
            });
    SetIcon(icon);
    SetTooltip(tooltip);
    icon_->show();
}

void CSystemTray::SetIcon(const QIcon& icon) {
    if (icon_ != nullptr) {
        icon_->setIcon(icon);
        iconKey_ = icon.cacheKey();
    }
}

void CSystemTray::SetTooltip(const QString& tooltip) {
    if (icon_ != nullptr) {
        icon_->setToolTip(tooltip.left(kTooltipChars));
    }
}

void CSystemTray::Remove() {
    if (icon_ != nullptr) {
        icon_->hide();
        delete icon_;
        icon_ = nullptr;
    }
}

bool CSystemTray::ShowMessage(const QString& title, const QString& text) {
    if (icon_ == nullptr) {
        return false;
    }
    icon_->showMessage(title, text, QSystemTrayIcon::Information, kMessageMs);
    return true;
}

QString CSystemTray::tooltip() const {
    return icon_ != nullptr ? icon_->toolTip() : QString();
}

qint64 CSystemTray::iconKey() const {
    return icon_ != nullptr ? iconKey_ : 0;
}

} // namespace talmor
