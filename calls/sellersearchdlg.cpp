#include "calls/sellersearchdlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "calls/callcolumns.h"
#include "calls/handlinglayout.h"
#include "calls/handlingwindows.h"
#include "calls/sellersearchtypes.h"
#include "kit/backofficeurl.h"
#include "kit/consolehost.h"
#include "kit/consoleui.h"
#include "kit/gbktext.h"
#include "kit/resultlistmodel.h"
#include "protocol/platformclient.h"
#include "protocol/registeredwindow.h"

namespace talmor {

namespace {

// The caller's details: template control, caption and value.
struct Detail {
    int id;
    const char* caption;
    QString value;
};

} // namespace

CSellerSearchDlg* CSellerSearchDlg::Open(ConsoleHost& window, const CallRecord& call) {
    if (!MayOpenHandlingWindow<CSellerSearchDlg>(window, call.callId)) {
        return nullptr;
    }
    auto* dialog = new CSellerSearchDlg(window, call);
    dialog->show();
    return dialog;
}

CSellerSearchDlg::CSellerSearchDlg(ConsoleHost& window, const CallRecord& call)
    : QDialog(&window.mainWidget()),
      RegisteredWindow(window.windows(), kWindowType, call.callId, 0), window_(window),
      call_(call) {
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

    rows_ = new ResultListModel(SellerColumns(), nullptr, this);
    list_ = new QTableView(this);
    list_->setModel(rows_);
    SetUpResultList(*list_, SellerColumns());
    list_->setGeometry(DialogRect(7, 90, 386, 203));

    connect(types_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int position) { fillSubTypes(position - 1); });
    connect(start, &QPushButton::clicked, this, &CSellerSearchDlg::search);
    connect(list_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& clicked) { openMerchant(clicked.row()); });
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
    rows_->clear();
}

void CSellerSearchDlg::OnSellerResult(const std::vector<SellerEntry>& entries) {
    for (const ResultRow& row : RowsOf(entries)) {
        rows_->append(row);
        list_->scrollToBottom();
    }
}

void CSellerSearchDlg::openMerchant(int row) {
    const uint32_t merchant = rows_->idAt(row);
    if (merchant == 0 ||
        window_.windows().findWindow(ConsoleHost::kMainWindowType, 0, 0) == nullptr) {
        return;
    }
    window_.ShowInWorkPane(PageUrl(window_.backOfficeBase(), "sellerinfo.aspx",
                                   {{"manager_id", Decimal(window_.operatorId())},
                                    {"user_id", Decimal(merchant)},
                                    {"randnum", window_.installationId()}}));
}

} // namespace talmor
