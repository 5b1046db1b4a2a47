#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include <vector>

#include "storage/calljournal.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTableView;

namespace talmor {

class ConsoleUi;

// The journal entries the window lists, one row each.
class JournalModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setEntries(std::vector<storage::JournalEntry> entries);
    const std::vector<storage::JournalEntry>& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<storage::JournalEntry> entries_;
};

// The handling journal of the logged-in operator: filters by call, caller, category and day,
// the entries that pass, and the export of what is listed to a CSV file.
class CCallJournalDlg : public QDialog {
    Q_OBJECT
public:
    CCallJournalDlg(storage::CallJournal& journal, ConsoleUi& ui, QWidget* parent = nullptr);

    QLineEdit* callIdEdit() const { return callId_; }
    QLineEdit* callerEdit() const { return caller_; }
    QComboBox* categoryBox() const { return category_; }
    QCheckBox* dayCheck() const { return useDay_; }
    QDateEdit* dayEdit() const { return day_; }
    JournalModel& model() { return *model_; }
    QTableView* view() const { return view_; }

    // Lists the entries that pass the filters.
    void search();
    // Writes what is listed to `path` as CSV (UTF-8); false when the file cannot be written.
    bool exportTo(const QString& path);

private:
    void chooseExportFile();

    storage::CallJournal& journal_;
    ConsoleUi& ui_;
    QLineEdit* callId_;
    QLineEdit* caller_;
    QComboBox* category_;
    QCheckBox* useDay_;
    QDateEdit* day_;
    QLabel* count_;
    JournalModel* model_;
    QTableView* view_;
};

} // namespace talmor
