#include "support/qtapp.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

#include "kit/gbktext.h"

namespace talmor::testing {

void EnsureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "console_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit it would go after Qt's own statics and crash the test program.
    new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

TempFolder::TempFolder() {
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    path_ = dir.path().toStdString() + "/";
}

TempFolder::~TempFolder() {
    QDir(QString::fromStdString(path_)).removeRecursively();
}

std::string Gbk(const char* utf8) {
    return ToGbk(QString::fromUtf8(utf8)).value_or(std::string());
}

} // namespace talmor::testing
