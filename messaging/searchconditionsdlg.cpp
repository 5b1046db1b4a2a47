#include "messaging/searchconditionsdlg.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "kit/gbkguard.h"
#include "kit/gbktext.h"
#include "messaging/contactpictures.h"
#include "messaging/searchtexts.h"
#include "messaging/searchwizardkinds.h"

namespace talmor {

namespace {

// Template ids of the area fields, province to community.
constexpr int kAreaIds[5] = {1039, 1040, 1042, 1120, 1121};
const char* const kAreaCaptions[5] = {"省份", "城市", "城区", "街道", "社区"};

// Texts go to the server with a 16-bit length; these keep them far below it.
constexpr int kAccountLength = 20;
constexpr int kTextLength = 50;

QString U(const char* text) {
    return QString::fromUtf8(text);
}

QComboBox* Choices(QWidget* parent, int id, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::number(id));
    box->addItems(items);
    return box;
}

} // namespace

CSearchConditionsDlg::CSearchConditionsDlg(QWidget* frame, WindowRegistry& registry,
                                           const SearchWizardKind& kind, const UserRecord& scope)
    : QWidget(frame), RegisteredWindow(registry, kind.conditionsType, 0, 0), kind_(kind),
      scope_(scope), next_(new QPushButton(U(text::kNextStep), this)),
      cancel_(new QPushButton(U(text::kCancelStep), this)) {
    using F = ConditionField;
    auto* modes = new QHBoxLayout;
    if (kind.modeCheckBox) {
        combinedMode_ = new QCheckBox(U(text::kCombinedSearch), this);
    } else {
        exactMode_ = new QRadioButton(U(text::kExactSearch), this);
        exactMode_->setObjectName(QStringLiteral("1104"));
        combinedMode_ = new QRadioButton(U(text::kCombinedSearch), this);
        auto* group = new QButtonGroup(this);
        group->addButton(exactMode_);
        group->addButton(combinedMode_);
        modes->addWidget(exactMode_);
        connect(exactMode_, &QAbstractButton::clicked, this, [this] { setCombined(false); });
    }
    combinedMode_->setObjectName(QStringLiteral("1106"));
    modes->addWidget(combinedMode_);
    modes->addStretch();
    connect(combinedMode_, &QAbstractButton::clicked, this,
            [this](bool checked) { setCombined(kind_.modeCheckBox ? checked : true); });

    auto* fields = new QGridLayout;
    int placed = 0;
    const auto place = [&](const QString& caption, QWidget* field) {
        const int row = placed / 2;
        const int column = (placed % 2) * 2;
        if (!caption.isEmpty()) {
            fields->addWidget(new QLabel(caption, this), row, column);
        }
        fields->addWidget(field, row, column + 1);
        ++placed;
    };
    if (kind.has(F::Account)) {
        account_ = addEdit(1082, kAccountLength);
        place(U("帐号"), account_);
    }
    if (kind.has(F::Email)) {
        email_ = addEdit(1047, kTextLength);
        place(U("电子邮件"), email_);
    }
    if (kind.has(F::Nick)) {
        nick_ = addEdit(1037, kTextLength);
        place(U("昵称"), nick_);
    }
    if (kind.has(F::Name)) {
        name_ = addEdit(1044, kTextLength);
        place(U(kind.kind == SearchKind::Subscribers ? "姓名" : "名称"), name_);
    }
    if (kind.has(F::Sex)) {
        sex_ = Choices(this, 1045, SexChoices());
        place(U("性别"), sex_);
    }
    if (kind.has(F::Age)) {
        age_ = Choices(this, 1041, AgeBands());
        place(U("年龄"), age_);
    }
    if (kind.has(F::Area)) {
        const std::array<std::string, 5> area = ScopeArea(scope);
        province_ = Choices(this, kAreaIds[0], Provinces());
        const QString province = FromGbk(area[0]);
        if (!province.isEmpty() && province_->findText(province) < 0) {
            province_->addItem(province);
        }
        province_->setCurrentIndex(province.isEmpty() ? 0 : province_->findText(province));
        place(U(kAreaCaptions[0]), province_);
        for (std::size_t part = 1; part < 5; ++part) {
            QLineEdit* edit = addEdit(kAreaIds[part], kTextLength);
            edit->setText(FromGbk(area[part]));
            areaEdits_[part - 1] = edit;
            place(U(kAreaCaptions[part]), edit);
        }
    }
    if (kind.has(F::Phone)) {
        phone_ = addEdit(1043, kTextLength);
        place(U("电话"), phone_);
    }
    if (kind.has(F::OnlineOnly)) {
        onlineOnly_ = new QCheckBox(U(text::kOnlineOnly), this);
        onlineOnly_->setObjectName(QStringLiteral("1107"));
        place(QString(), onlineOnly_);
    }

    auto* hint = new QLabel(U(text::kConditionsHint), this);
    auto* help = new QPushButton(U(text::kHelpStep), this);
    help->setObjectName(QStringLiteral("1113"));
    next_->setObjectName(QStringLiteral("1006"));
    next_->setDefault(true);
    cancel_->setObjectName(QStringLiteral("1115"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(next_);
    buttons->addWidget(cancel_);

    QVBoxLayout* body = UnderBanner(*this, SearchBanner());
    body->addLayout(modes);
    body->addLayout(fields);
    body->addStretch();
    body->addWidget(hint);
    body->addLayout(buttons);

    setCombined(false);
}

QLineEdit* CSearchConditionsDlg::addEdit(int id, int maxLength) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::number(id));
    edit->setMaxLength(maxLength);
    new GbkGuard(edit);
    return edit;
}

void CSearchConditionsDlg::setCombined(bool combined) {
    combined_ = combined;
    if (exactMode_ != nullptr) {
        exactMode_->setChecked(!combined);
    }
    combinedMode_->setChecked(combined);
    enableFields();
}

void CSearchConditionsDlg::enableFields() {
    using F = ConditionField;
    const auto inMode = [this](ConditionField field) {
        const std::vector<ConditionField>& fields =
            combined_ ? kind_.combinedFields : kind_.exactFields;
        return std::find(fields.begin(), fields.end(), field) != fields.end();
    };
    const std::pair<ConditionField, QWidget*> plain[] = {
        {F::Account, account_}, {F::Email, email_},
        {F::Nick, nick_},       {F::Name, name_},
        {F::Sex, sex_},         {F::Age, age_},
        {F::Phone, phone_},     {F::OnlineOnly, onlineOnly_},
    };
    for (const auto& [field, widget] : plain) {
        if (widget != nullptr) {
            widget->setEnabled(inMode(field));
        }
    }
    if (province_ == nullptr) {
        return;
    }
    const bool area = inMode(F::Area);
    province_->setEnabled(area && AreaPartFree(scope_, 0));
    for (int part = 1; part < 5; ++part) {
        areaEdits_[static_cast<std::size_t>(part - 1)]->setEnabled(area &&
                                                                   AreaPartFree(scope_, part));
    }
}

SearchConditions CSearchConditionsDlg::conditions() const {
    const auto textOf = [](const QLineEdit* edit) {
        return edit != nullptr ? edit->text() : QString();
    };
    SearchConditions c;
    c.combined = combined_;
    c.account = textOf(account_);
    c.email = textOf(email_);
    c.nick = textOf(nick_);
    c.name = textOf(name_);
    c.sex = sex_ != nullptr ? sex_->currentIndex() : 0;
    c.ageBand = age_ != nullptr ? age_->currentIndex() : 0;
    if (province_ != nullptr) {
        c.area[0] = province_->currentText();
        for (std::size_t part = 1; part < 5; ++part) {
            c.area[part] = areaEdits_[part - 1]->text();
        }
    }
    c.phone = textOf(phone_);
    c.onlineOnly = onlineOnly_ != nullptr && onlineOnly_->isChecked();
    return c;
}

} // namespace talmor
