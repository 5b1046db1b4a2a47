#pragma once

#include <QObject>

#include <cstdint>
#include <string>
#include <vector>

class QMenu;

namespace talmor {

// The tray menu, rebuilt every time it opens: "联机", the away submenu ("无回复信息" and the
// automatic replies), "隐身", "脱机", "打开Quorvane管理后台" and "退出(&E)". Without an operator
// the four status items are grey. The main menu's enabling rules never touch it.
class TrayMenu : public QObject {
    Q_OBJECT
public:
    explicit TrayMenu(QObject* parent = nullptr);
    ~TrayMenu() override;

    QMenu* menu() const { return menu_; }
    QMenu* awayMenu() const { return away_; }
    // Rebuilds the items for `operatorId` with the automatic replies (GBK) of AutoReply.dat.
    void build(uint32_t operatorId, const std::vector<std::string>& replies);

signals:
    // The command of the chosen item (32812, 32815 ... 40000 + n).
    void command(int id);

private:
    QMenu* menu_;
    QMenu* away_ = nullptr;
};

} // namespace talmor
