#pragma once

#include <QAbstractListModel>
#include <QColor>

#include <cstdint>
#include <vector>

#include "messaging/contactlist.h"

namespace talmor {

// The rows of the contact list: for each group in array order its header, then, while it is
// expanded, one row per member in member order. It keeps the one selected row (a group header
// or a contact) by what it shows, so the selection stays on its group or contact when the rows
// are rebuilt.
class ContactRowModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        HeaderRole = Qt::UserRole + 1, // bool: a group header
        ContactIdRole,                 // uint: the contact of a contact row
        GroupIndexRole,                // int: the group's array position
        StatusRole,                    // uint: the contact's status
        SelectedRole,                  // bool
    };

    static inline const QColor kText{0, 0, 117};
    static inline const QColor kOnlineNick{0, 0, 0};
    static inline const QColor kOfflineNick{129, 129, 129};
    static inline const QColor kSelected{231, 239, 253};
    static inline const QColor kBackground{255, 255, 255};

    explicit ContactRowModel(const ContactList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The list changed (in group `groupId`, or anywhere for 0): rows are rebuilt, or only
    // repainted while they keep their shape.
    void refresh(ContactList::Change change, uint32_t groupId);

    bool isHeader(int row) const;
    // The group array position of a row (header or member), or -1.
    int groupAt(int row) const;
    // The contact of a contact row, or 0.
    uint32_t contactAt(int row) const;
    // The row of a contact that is shown, or -1.
    int rowOfContact(uint32_t contactId) const;
    // The header row of group position `index`, or -1.
    int headerRow(int index) const;

    // Selects the row (a header selects its group); -1 or a row outside the list selects
    // nothing.
    void select(int row);
    // The selected group's array position, or -1 while no header is selected.
    int selectedGroup() const;
    // The selected contact, or 0.
    uint32_t selectedContact() const { return selectedContact_; }

private:
    struct Row {
        int group;
        int member; // -1 for the header
    };
    void rebuild();
    // Whether the rows as built still match the groups' sizes and expansion.
    bool sameRows() const;
    // A group or contact that went is no longer selected.
    void dropGoneSelection();
    void repaintRow(int row);

    const ContactList& list_;
    std::vector<Row> rows_;
    std::vector<int> headerRows_;
    uint32_t selectedGroupId_ = 0;
    uint32_t selectedContact_ = 0;
};

} // namespace talmor
