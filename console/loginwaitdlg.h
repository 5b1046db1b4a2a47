#pragma once

#include <QDialog>

#include "protocol/registeredwindow.h"

namespace talmor {

class AnimatedPicture;
class ColorLabel;

// "登录验证中...": the progress of a login, with the animated picture. Modeless; it deletes
// itself when closed. Enter does nothing, Escape closes it.
class CLoginWaitDlg : public QDialog, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 21;

    // `animation` is the StartProgress.gif to play.
    CLoginWaitDlg(WindowRegistry& registry, const QString& animation, QWidget* parent = nullptr);

    void setProgressText(const QString& text);
    QString progressText() const;
    AnimatedPicture* picture() const { return picture_; }

signals:
    // The operator closed the window (Escape, Cancel or its close box).
    void dismissed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ColorLabel* text_;
    AnimatedPicture* picture_;
};

} // namespace talmor
