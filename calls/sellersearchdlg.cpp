#include "calls/sellersearchdlg.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "calls/callcolumns.h"
#include "calls/handlinglayout.h"
#include "calls/handlingwindows.h"
#include "calls/sellersearchtypes.h"
#include "console/backofficeurl.h"
#include "console/consoleui.h"
#include "console/gbktext.h"
#include "console/talmormanagerdlg.h"

namespace talmor {

namespace {

// The caller's details: template control, caption and value.
struct Detail {
    int id;
    const char* caption;
    QString value;
};

} // namespace

CSellerSearchDlg* CSellerSearchDlg::Open(CTalmorManagerDlg& window, const CallRecord& call) {
    if (!MayOpenHandlingWindow<CSellerSearchDlg>(window, call.callId)) {
        return nullptr;
    }
    auto* dialog = new CSellerSearchDlg(window, call);
    dialog->show();
    return dialog;
}

CSellerSearchDlg::CSellerSearchDlg(CTalmorManagerDlg& window, const CallRecord& call)
    : QDialog(&window), RegisteredWindow(window.windows(), kWindowType, call.callId, 0),
      window_(window), call_(call) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("就近搜索商户"));
    setFixedSize(DialogRect(0, 0, 400, 300).size());

    const Detail details[] = {
        {1002, "姓名", FromGbk(call.userName)},
        {1003, "性别", QString::fromUtf8(SexText(call.sex))},
        {1007, "年龄", QString::number(call.age)},
        {1133, "电话", FromGbk(call.phone)},
        {1134, "手机", FromGbk(call.mobile)},
        {1135, "省份", FromGbk(call.province)},
        {1136, "城市", FromGbk(call.city)},
        {1137, "城区", FromGbk(call.district)},
        {1140, "街道", FromGbk(call.street)},
        {1141, "社区", FromGbk(call.community)},
        {1138, "地址", FromGbk(call.address)},
        {1139, "标志", FromGbk(call.mapMark)},
    };
    int index = 0;
    for (const Detail& detail : details) {
        const int x = 7 + (index % 3) * 131;
        const int y = 7 + (index / 3) * 15;
        auto* caption = new QLabel(QString::fromUtf8(detail.caption), this);
        caption->setGeometry(DialogRect(x, y + 2, 22, 8));
        auto* value = new QLineEdit(detail.value, this);
        value->setReadOnly(true);
        value->setObjectName(QString::number(detail.id));
        value->setGeometry(DialogRect(x + 24, y, 100, 12));
        ++index;
    }

    types_ = new QComboBox(this);
    types_->setGeometry(DialogRect(7, 70, 120, 12));
    types_->addItem(QStringLiteral("请选择商户类型"));
    for (const SellerType& type : SellerTypes()) {
        types_->addItem(QString::fromUtf8(type.name));
    }
    subTypes_ = new QComboBox(this);
    subTypes_->setGeometry(DialogRect(138, 70, 120, 12));
    fillSubTypes(-1);
    auto* start = new QPushButton(QStringLiteral("开始搜索"), this);
    start->setGeometry(DialogRect(269, 69, 60, 14));

    list_ = new QTableWidget(0, SellerColumns().size(), this);
    list_->setHorizontalHeaderLabels(SellerColumns());
    list_->setGeometry(DialogRect(7, 90, 386, 203));
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->verticalHeader()->hide();

    connect(types_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int position) { fillSubTypes(position - 1); });
    connect(start, &QPushButton::clicked, this, &CSellerSearchDlg::search);
    connect(list_, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { openMerchant(row); });
}

void CSellerSearchDlg::fillSubTypes(int type) {
    subTypes_->clear();
    subTypes_->addItem(QStringLiteral("请选择二级类型"));
    if (type < 0 || static_cast<std::size_t>(type) >= SellerTypes().size()) {
        return;
    }
    for (const char* subType : SellerTypes()[static_cast<std::size_t>(type)].subTypes) {
        subTypes_->addItem(QString::fromUtf8(subType));
    }
}

QString CSellerSearchDlg::detailText(int id) const {
    const QLineEdit* value = findChild<QLineEdit*>(QString::number(id));
    return value != nullptr ? value->text() : QString();
}

void CSellerSearchDlg::search() {
    const int type = types_->currentIndex() - 1;
    const int subType = subTypes_->currentIndex() - 1;
    if (const char* refusal = SellerSearchRefusal(type, subType)) {
        window_.ui().information(this, QString::fromUtf8(refusal));
        return;
    }
    window_.client().sellerQuery(SellerQueryFor(call_, type, subType));
    list_->setRowCount(0);
    merchants_.clear();
}

void CSellerSearchDlg::OnSellerResult(const std::vector<SellerEntry>& entries) {
    for (const SellerEntry& entry : entries) {
        const int row = list_->rowCount();
        list_->insertRow(row);
        const QStringList texts = SellerRowTexts(entry);
        for (int column = 0; column < texts.size(); ++column) {
            list_->setItem(row, column, new QTableWidgetItem(texts[column]));
        }
        merchants_.push_back(entry.id);
        list_->scrollToBottom();
    }
}

void CSellerSearchDlg::openMerchant(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= merchants_.size() ||
        window_.findWindow(CTalmorManagerDlg::kWindowType, 0, 0) == nullptr) {
        return;
    }
    window_.ShowInWorkPane(PageUrl(window_.backOfficeBase(), "sellerinfo.aspx",
                                   {{"manager_id", Decimal(window_.operatorId())},
                                    {"user_id", Decimal(merchants_[static_cast<std::size_t>(row)])},
                                    {"randnum", window_.installationId()}}));
}

} // namespace talmor
