#include "console/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace talmor {

std::unique_ptr<QTranslator> InstallQtTranslations() {
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace talmor
