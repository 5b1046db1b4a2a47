#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPointer>

#include <vector>

#include "protocol/registeredwindow.h"

namespace talmor {

// The reminder window of the reminder timer: "警告" with its picture. While it is open the main
// console window is disabled (its own parts, not the windows it owns); closing it (frame or Esc)
// enables the main window again. At most one exists: window type 43, key 0.
class CWarnDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 43;

    // Shows itself and disables the main window when that is registered (type 19).
    explicit CWarnDlg(WindowRegistry& registry);
    ~CWarnDlg() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void done(int result) override;

private:
    QWidget* mainWindow() const;
    void enableMainWindow(bool enable);

    WindowRegistry& registry_;
    QPixmap picture_;
    // The parts of the main window this window disabled.
    std::vector<QPointer<QWidget>> blocked_;
};

} // namespace talmor
