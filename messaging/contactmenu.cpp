#include "messaging/contactmenu.h"

#include "kit/gbktext.h"
#include "messaging/contactlist.h"
#include "messaging/contacttexts.h"

namespace talmor {

namespace {

QAction* AddCommand(QMenu& menu, const QString& text, int id) {
    QAction* action = menu.addAction(text);
    action->setData(id);
    return action;
}

} // namespace

std::unique_ptr<QMenu> BuildContactMenu(const ContactList& list, bool contactOffline) {
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("menu267"));
    AddCommand(*menu, QString::fromUtf8(text::kMenuChat), contactcmd::kChat);
    menu->addSeparator();
    for (const auto& [caption, id] : {std::pair{text::kMenuSendFile, contactcmd::kSendFile},
                                      std::pair{text::kMenuVoice, contactcmd::kVoice},
                                      std::pair{text::kMenuVideo, contactcmd::kVideo}}) {
        AddCommand(*menu, QString::fromUtf8(caption), id)->setEnabled(!contactOffline);
    }
    menu->addSeparator();
    AddCommand(*menu, QString::fromUtf8(text::kMenuProfile), contactcmd::kProfile);
    AddCommand(*menu, QString::fromUtf8(text::kMenuDeleteContact), contactcmd::kDelete);
    menu->addSeparator();
    // Position 9: the groups a contact can be moved to.
    QMenu* moveTo = menu->addMenu(QString::fromUtf8(text::kMenuMoveTo));
    const int shown =
        std::min(list.groupCount(), contactcmd::kMoveLast - contactcmd::kMoveFirst + 1);
    for (int i = 0; i < shown; ++i) {
        // A group name is shown as it is: "&" is no mnemonic here.
        AddCommand(*moveTo,
                   FromGbk(list.groups()[static_cast<std::size_t>(i)].name)
                       .replace(QLatin1Char('&'), QStringLiteral("&&")),
                   contactcmd::kMoveFirst + i);
    }
    return menu;
}

int CommandOf(const QAction* action) {
    return action != nullptr ? action->data().toInt() : 0;
}

} // namespace talmor
