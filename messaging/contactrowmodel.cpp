#include "messaging/contactrowmodel.h"

#include <algorithm>

#include "kit/gbktext.h"
#include "messaging/contactpictures.h"

namespace talmor {

ContactRowModel::ContactRowModel(const ContactList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list) {
    rebuild();
}

int ContactRowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant ContactRowModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    // Rows are rebuilt right after every change of the list; until then nothing is read
    // beyond what the list holds.
    if (row.group >= list_.groupCount()) {
        return {};
    }
    const ContactGroup& group = list_.groups()[static_cast<std::size_t>(row.group)];
    const bool header = row.member < 0;
    if (!header && row.member >= group.memberCount()) {
        return {};
    }
    const uint32_t contactId = header ? 0 : group.members[static_cast<std::size_t>(row.member)];
    const ContactRecord* record = header ? nullptr : list_.findRecord(contactId);
    const uint32_t status = record != nullptr ? record->status : kStatusOffline;
    const bool selected =
        header ? group.id == selectedGroupId_ : contactId != 0 && contactId == selectedContact_;
    switch (role) {
    case Qt::DisplayRole:
        if (header) {
            return FromGbk(HeaderText(group));
        }
        return record != nullptr ? FromGbk(record->nick) : QString();
    case Qt::ForegroundRole:
        if (header) {
            return kText;
        }
        return status == kStatusOffline ? kOfflineNick : kOnlineNick;
    case Qt::BackgroundRole:
        return selected ? kSelected : kBackground;
    case Qt::DecorationRole:
        return header ? ExpandPicture(group.expanded != 0) : StatusPicture(status);
    case HeaderRole:
        return header;
    case ContactIdRole:
        return contactId;
    case GroupIndexRole:
        return row.group;
    case StatusRole:
        return status;
    case SelectedRole:
        return selected;
    default:
        return {};
    }
}

void ContactRowModel::refresh(ContactList::Change change, uint32_t groupId) {
    // Presence moves members within their group and changes counts: every row then still
    // holds the same group position and member position, only what they show changed, and
    // the view just repaints instead of laying 10,000 rows out again.
    if (change == ContactList::Change::Rows && !sameRows()) {
        beginResetModel();
        rebuild();
        endResetModel();
        return;
    }
    dropGoneSelection();
    const int group = groupId != 0 ? list_.indexOfGroup(groupId) : -1;
    if (group >= 0) {
        const int header = headerRow(group);
        const int last = group + 1 < static_cast<int>(headerRows_.size()) ? headerRow(group + 1) - 1
                                                                          : rowCount() - 1;
        emit dataChanged(index(header), index(last));
    } else if (!rows_.empty()) {
        emit dataChanged(index(0), index(rowCount() - 1));
    }
}

bool ContactRowModel::sameRows() const {
    const auto& groups = list_.groups();
    if (groups.size() != headerRows_.size()) {
        return false;
    }
    int row = 0;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (headerRows_[g] != row) {
            return false;
        }
        row += 1 + (groups[g].expanded != 0 ? groups[g].memberCount() : 0);
    }
    return row == rowCount();
}

void ContactRowModel::rebuild() {
    rows_.clear();
    headerRows_.clear();
    const auto& groups = list_.groups();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        headerRows_.push_back(static_cast<int>(rows_.size()));
        rows_.push_back({static_cast<int>(g), -1});
        if (groups[g].expanded != 0) {
            for (int m = 0; m < groups[g].memberCount(); ++m) {
                rows_.push_back({static_cast<int>(g), m});
            }
        }
    }
    dropGoneSelection();
}

void ContactRowModel::dropGoneSelection() {
    // A group or contact that went is no longer selected.
    if (list_.indexOfGroup(selectedGroupId_) < 0) {
        selectedGroupId_ = 0;
    }
    if (list_.groupOf(selectedContact_) < 0) {
        selectedContact_ = 0;
    }
}

bool ContactRowModel::isHeader(int row) const {
    return row >= 0 && row < rowCount() && rows_[static_cast<std::size_t>(row)].member < 0;
}

int ContactRowModel::groupAt(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].group : -1;
}

uint32_t ContactRowModel::contactAt(int row) const {
    if (row < 0 || row >= rowCount() || isHeader(row)) {
        return 0;
    }
    const Row& r = rows_[static_cast<std::size_t>(row)];
    return list_.groups()[static_cast<std::size_t>(r.group)]
        .members[static_cast<std::size_t>(r.member)];
}

int ContactRowModel::rowOfContact(uint32_t contactId) const {
    const int group = list_.groupOf(contactId);
    if (group < 0 || list_.groups()[static_cast<std::size_t>(group)].expanded == 0) {
        return -1;
    }
    const auto& members = list_.groups()[static_cast<std::size_t>(group)].members;
    const auto at = std::find(members.begin(), members.end(), contactId);
    return headerRow(group) + 1 + static_cast<int>(at - members.begin());
}

int ContactRowModel::headerRow(int index) const {
    if (index < 0 || index >= static_cast<int>(headerRows_.size())) {
        return -1;
    }
    return headerRows_[static_cast<std::size_t>(index)];
}

void ContactRowModel::select(int row) {
    const int before = selectedContact_ != 0 ? rowOfContact(selectedContact_)
                                             : headerRow(list_.indexOfGroup(selectedGroupId_));
    selectedGroupId_ = isHeader(row) ? list_.groupIdAt(groupAt(row)) : 0;
    selectedContact_ = contactAt(row);
    repaintRow(before);
    repaintRow(row);
}

int ContactRowModel::selectedGroup() const {
    return selectedGroupId_ == 0 ? -1 : list_.indexOfGroup(selectedGroupId_);
}

void ContactRowModel::repaintRow(int row) {
    if (row >= 0 && row < rowCount()) {
        emit dataChanged(index(row), index(row));
    }
}

} // namespace talmor
