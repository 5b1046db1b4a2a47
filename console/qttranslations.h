#pragma once

#include <QTranslator>

#include <memory>

namespace talmor {

// Qt's own texts in the console's language: the buttons of the message boxes ("是", "否"), the
// file dialogs and the other standard windows. Sets Chinese (China) as the default locale and
// installs Qt's translation of its base library; the translation stays installed while the
// returned translator lives. Null when the translations are not on this machine.
std::unique_ptr<QTranslator> InstallQtTranslations();

} // namespace talmor
