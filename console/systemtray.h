#pragma once

#include <QObject>
#include <QString>

class QIcon;
class QMenu;
class QSystemTrayIcon;

namespace talmor {

// What closing the main window does: without a notification area the window is minimised, so
// the console never becomes unreachable; with one it hides there, and the first time in a run a
// message says that the console keeps running and receiving calls.
enum class CloseAction { Minimise, Hide, HideAndTell };
CloseAction ChooseCloseAction(bool trayAvailable, bool toldBefore);

// The console's icon in the notification area (id 10004). Removing it is part of every way the
// process ends; destroying the object removes it too.
class CSystemTray : public QObject {
    Q_OBJECT
public:
    static constexpr int kIconId = 10004;
    static constexpr int kTooltipChars = 63;

    explicit CSystemTray(QObject* parent = nullptr);
    ~CSystemTray() override;

    // Adds the icon (removing an earlier one first) with its context menu.
    void Create(const QIcon& icon, const QString& tooltip, QMenu* menu);
    void SetIcon(const QIcon& icon);
    void SetTooltip(const QString& tooltip);
    void Remove();
    // A balloon message from the icon; false when there is no icon to show it.
    bool ShowMessage(const QString& title, const QString& text);

    bool present() const { return icon_ != nullptr; }
    QString tooltip() const;
    // The icon shown now (tests compare it with the status icons by cache key).
    qint64 iconKey() const;
    // Whether the desktop has a notification area at all.
    static bool available();
    // Whether a click of `reason` brings the console back: many Linux trays report a single
    // click and never a double click.
    static bool showsConsole(int reason);

signals:
    void showRequested();

private:
    QSystemTrayIcon* icon_ = nullptr;
    qint64 iconKey_ = 0;
};

} // namespace talmor
