#pragma once

#include <QWidget>

#include <map>

#include "kit/ecpbarplacement.h"

namespace talmor {

class SkinButton;

// The quick-action bar: a small white popup beside the row under the mouse with up to three
// buttons (call-out page, SMS, e-mail) for that row. It stays for the life of the main window;
// ShowEcpBar places, fills, shows and hides it. A press reports the button's command with the
// values the bar holds.
class CECPBar : public QWidget {
    Q_OBJECT
public:
    explicit CECPBar(QWidget* owner);

    // Takes the bar's place, buttons and values, and shows or hides it.
    void apply(const EcpBarPlacement& placement);
    const EcpBarValues& values() const { return values_; }
    SkinButton* button(int id) const;

signals:
    void pressed(int button, const EcpBarValues& values);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::map<int, SkinButton*> buttons_;
    EcpBarValues values_;
};

} // namespace talmor
