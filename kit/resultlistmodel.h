#pragma once

#include <QAbstractTableModel>
#include <QPixmap>

#include <vector>

#include "kit/searchresults.h"

class QTableView;

namespace talmor {

// The rows of a result list: the search wizards show one stored reply at a time, the merchant
// search appends each merchant as it arrives. With a picture, the first cell carries the
// picture of its user's presence (the contact pane's coloured or grey mark).
class ResultListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Picture = QPixmap (*)(bool online);

    // `picture` null: the rows show no pictures.
    ResultListModel(const std::vector<ResultColumn>& columns, Picture picture, QObject* parent)
        : QAbstractTableModel(parent), columns_(columns), picture_(picture) {}

    // Shows `rows` in place of the rows shown, with one reset.
    void show(const std::vector<ResultRow>& rows);
    void append(const ResultRow& row);
    void clear();
    // The row's user, or none (0) outside the rows.
    uint32_t idAt(int row) const;
    int size() const { return static_cast<int>(rows_.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const std::vector<ResultColumn>& columns_;
    Picture picture_;
    std::vector<ResultRow> rows_;
};

// The console's list look (widgets/listlook.h) with the widths of `columns`.
void SetUpResultList(QTableView& view, const std::vector<ResultColumn>& columns);

} // namespace talmor
