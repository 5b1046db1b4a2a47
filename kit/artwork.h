#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace talmor {
class SkinButton;
} // namespace talmor

// The console's own pictures: icons from the resource file, backgrounds and button skins
// painted in code.
namespace talmor::art {

QIcon AppIcon();
// The tray and status picture of operator status 0 to 3.
QIcon StatusIcon(uint32_t status);
// A white line glyph of the resource file (":/icons/<name>.svg") at `size`.
QPixmap Glyph(const QString& name, QSize size);
QPixmap Logo();

enum class SkinState { Normal, Hovered, Pressed, Grey };
// A tool-button skin: a rounded face in the state's shade with `glyph` (an icon name) or, when
// that is empty, nothing on it (the button draws its caption).
QPixmap ToolSkin(QSize size, SkinState state, const QString& glyph = {});
// A round service-button skin carrying one character.
QPixmap ServiceSkin(QSize size, SkinState state, const QString& character);
// A thin pane toggle with an arrow glyph.
QPixmap ToggleSkin(QSize size, SkinState state, const QString& arrow);

QPixmap LoginBanner(QSize size);
QPixmap LoginFormBackground(QSize size);
QPixmap WaitBackground(QSize size);
QPixmap PromptBackground(QSize size);
// The main window's frame: the band behind the button rows and the status strip.
QPixmap FrameTop(QSize size);
QPixmap FrameBottom(QSize size);

// Gives a pane toggle its three skins with `arrow` ("arrow_left", "arrow_right", ...).
void SkinToggle(SkinButton& button, QSize size, const QString& arrow);

} // namespace talmor::art
