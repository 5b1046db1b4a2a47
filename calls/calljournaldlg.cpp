#include "calls/calljournaldlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

#include "calls/callcolumns.h"
#include "calls/journaltexts.h"
#include "kit/categories.h"
#include "kit/consoleui.h"

namespace talmor {

void JournalModel::setEntries(std::vector<storage::JournalEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

int JournalModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int JournalModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(JournalHeadings().size());
}

QVariant JournalModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) {
        return QVariant();
    }
    return JournalCells(entries_[static_cast<std::size_t>(index.row())]).value(index.column());
}

QVariant JournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return JournalHeadings().value(section);
}

CCallJournalDlg::CCallJournalDlg(storage::CallJournal& journal, ConsoleUi& ui, QWidget* parent)
    : QDialog(parent), journal_(journal), ui_(ui), callId_(new QLineEdit(this)),
      caller_(new QLineEdit(this)), category_(new QComboBox(this)),
      useDay_(new QCheckBox(QStringLiteral("日期"), this)), day_(new QDateEdit(this)),
      count_(new QLabel(this)), model_(new JournalModel(this)), view_(new QTableView(this)) {
    setWindowTitle(QStringLiteral("呼叫处理日志"));
    setAttribute(Qt::WA_DeleteOnClose);
    callId_->setPlaceholderText(QStringLiteral("呼叫号"));
    caller_->setPlaceholderText(QStringLiteral("帐号或呼叫人"));
    category_->addItem(QStringLiteral("全部类型"), -1);
    for (int code = 0; code < static_cast<int>(kCategoryCount); ++code) {
        category_->addItem(CallTypeLabel(static_cast<uint32_t>(code)), code);
    }
    day_->setCalendarPopup(true);
    day_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    day_->setDate(QDate::currentDate());
    day_->setEnabled(false);
    connect(useDay_, &QCheckBox::toggled, day_, &QWidget::setEnabled);

    auto* searchButton = new QPushButton(QStringLiteral("查询"), this);
    auto* exportButton = new QPushButton(QStringLiteral("导出CSV..."), this);
    connect(searchButton, &QPushButton::clicked, this, &CCallJournalDlg::search);
    connect(exportButton, &QPushButton::clicked, this, &CCallJournalDlg::chooseExportFile);
    for (QLineEdit* edit : {callId_, caller_}) {
        connect(edit, &QLineEdit::returnPressed, this, &CCallJournalDlg::search);
    }

    auto* filters = new QHBoxLayout;
    filters->addWidget(callId_);
    filters->addWidget(caller_);
    filters->addWidget(category_);
    filters->addWidget(useDay_);
    filters->addWidget(day_);
    filters->addWidget(searchButton);
    filters->addStretch();
    filters->addWidget(count_);
    filters->addWidget(exportButton);
    view_->setModel(model_);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(view_);
    resize(900, 480);
    search();
    const int widths[] = {170, 70, 70, 80, 90, 110};
    for (int column = 0; column < static_cast<int>(std::size(widths)); ++column) {
        view_->setColumnWidth(column, widths[column]);
    }
}

void CCallJournalDlg::search() {
    JournalQuery query;
    query.callId = callId_->text();
    query.caller = caller_->text();
    query.category = category_->currentData().toInt();
    if (useDay_->isChecked()) {
        query.day = day_->date();
    }
    std::vector<storage::JournalEntry> entries;
    const std::optional<storage::JournalFilter> filter = JournalFilterOf(query);
    if (filter && !journal_.query(*filter, entries)) {
        count_->setText(QStringLiteral("日志无法读取"));
        model_->setEntries({});
        return;
    }
    model_->setEntries(std::move(entries));
    count_->setText(QStringLiteral("共 %1 条").arg(model_->rowCount()));
    view_->scrollToBottom();
}

bool CCallJournalDlg::exportTo(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = JournalCsv(model_->entries()).toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

void CCallJournalDlg::chooseExportFile() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出CSV"),
                                                      QStringLiteral("CallJournal.csv"),
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    if (!exportTo(path)) {
        ui_.error(this, QStringLiteral("无法写入文件 %1").arg(path));
    }
}

} // namespace talmor
