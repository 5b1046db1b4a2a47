#include "console/toolbuttonrows.h"

#include <QMouseEvent>
#include <QPainter>

#include "console/commandids.h"
#include "kit/artwork.h"
#include "kit/texts.h"
#include "widgets/colorlabel.h"
#include "widgets/skinbutton.h"

namespace talmor {

namespace {

// Dialog units of the window's template to pixels (the template's font is 9 point).
int Dx(int units) {
    return (units * 3 + 1) / 2;
}

struct FirstRowButton {
    int id;
    int x;
    int width; // dialog units; all are 15 high
    const char* glyph;
    const char* caption;
};

const FirstRowButton kFirstRow[] = {
    {cmd::kButtonBack, 8, 17, "back", nullptr},
    {cmd::kButtonForward, 29, 17, "forward", nullptr},
    {cmd::kButtonHome, 51, 17, "home", nullptr},
    {cmd::kButtonRefresh, 74, 17, "refresh", nullptr},
    {cmd::kButtonCreateCustomer, 99, 67, nullptr, "创建呼叫客户"},
    {cmd::kButtonCreateOperator, 170, 67, nullptr, "创建监控座席"},
    {1017, 246, 68, nullptr, "呼叫客户汇总"},
    {1019, 322, 17, "analyse", nullptr},
    {cmd::kButtonProcessRecords, 342, 51, nullptr, "处理记录"},
    {1020, 403, 51, nullptr, "短信日志"},
    {1006, 465, 51, nullptr, "使用情况"},
    {cmd::kButtonSettings, 523, 17, "settings", nullptr},
    {cmd::kButtonWorkTab, 544, 17, "worktab", nullptr},
    {cmd::kButtonDataSite, 564, 17, "datasite", nullptr},
};

struct ServiceButton {
    int id;
    int x;
    const char* character;
    const char* tooltip;
};

const ServiceButton kSecondRow[] = {
    {1016, 8, "评", "该系统评估可正确判断老人生活能力和帮助内容"},
    {1029, 29, "申", "本功能可以就近在社区申请享受居家养老服务"},
    {1030, 51, "审", "本功能街道可以在线审核社区居家养老服务申请"},
    {1031, 74, "批", "本功能区民政可在线批准街道居家养老服务申请"},
    {1028, 99, "体", "本功能录入信息可展示社区服务体系的具体内容"},
    {1018, 124, "音", "本功能可同时向2000个老人/居民自动语音通知"},
    {1024, 149, "券", "本功能可以在一分钟内完成2000人服务券发放"},
    {1027, 170, "拨", "本功能可直接拨打或回复呼叫节省查号拨号时间"},
    {1032, 192, "单", "本功能是服务商接收工单和进行管理的平台"},
    {1033, 220, "考", "本功能对上门服务的助老员/社工等进行记录考核"},
    {1034, 242, "修", "本功能专为呼叫器故障/换地方的在线申报告平台"},
    {1035, 264, "益", "本功能是查看服务商收益情况"},
    {1036, 286, "用", "本功能是查看某个老人电子服务券具体使用情况"},
    {1037, 308, "商", "本功能聚集通用服务提供商的操作和联系平台"},
    {1038, 331, "装", "本功能显示本地区呼叫器安装数量和分类"},
    {1039, 353, "诉", "本功能显示呼叫、表扬、投诉数量和具体内容"},
    {1040, 375, "比", "本功能显示服务内容、数量及比例"},
    {1041, 403, "区", "本功能按区域显示各呼叫器安装数量"},
    {1042, 425, "排", "本功能显示近30天服务商排名和收益"},
    {1063, 447, "图", "本功能用于显示地图定位和号码搜索"},
};

struct CounterLabel {
    int id;
    int x;
    int y;
    QColor text;
    const char* initial;
};

constexpr int kFirstRowY = 5;
constexpr int kSecondRowY = 42;
constexpr int kButtonHeight = 15;
constexpr int kCounterWidth = 108;
constexpr int kCounterHeight = 16;

// Rights that govern first-row buttons (right, button).
const std::pair<int, int> kRightButtons[] = {{0, cmd::kButtonCreateCustomer},
                                             {2, cmd::kButtonCreateOperator},
                                             {6, cmd::kButtonProcessRecords}};

} // namespace

ToolButtonRows::ToolButtonRows(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    for (const FirstRowButton& b : kFirstRow) {
        const QSize size(Dx(b.width), Dx(kButtonHeight));
        SkinButton* button = addButton(b.id, QPoint(Dx(b.x), Dx(kFirstRowY)), size);
        const QString glyph = b.glyph != nullptr ? QString(b.glyph) : QString();
        button->setSkin(art::ToolSkin(size, art::SkinState::Normal, glyph),
                        art::ToolSkin(size, art::SkinState::Hovered, glyph),
                        art::ToolSkin(size, art::SkinState::Pressed, glyph));
        button->setDisabledSkin(art::ToolSkin(size, art::SkinState::Grey, glyph));
        if (b.caption != nullptr) {
            button->setText(QString::fromUtf8(b.caption));
        }
    }
    for (const ServiceButton& b : kSecondRow) {
        const QSize size(Dx(17), Dx(kButtonHeight));
        SkinButton* button = addButton(b.id, QPoint(Dx(b.x), Dx(kSecondRowY)), size);
        const QString glyph = QString::fromUtf8(b.character);
        button->setSkin(art::ServiceSkin(size, art::SkinState::Normal, glyph),
                        art::ServiceSkin(size, art::SkinState::Hovered, glyph),
                        art::ServiceSkin(size, art::SkinState::Pressed, glyph));
        button->setDisabledSkin(art::ServiceSkin(size, art::SkinState::Grey, glyph));
        button->setToolTip(QString::fromUtf8(b.tooltip));
    }
    const CounterLabel counters[] = {
        {1070, 6, 27, QColor(208, 0, 21), text::kTotalLoading},
        {1071, 119, 28, QColor(0, 128, 0), text::kTotalLoading},
        {1078, 270, 28, QColor(21, 66, 139), text::kCustomersLoading},
    };
    for (const CounterLabel& c : counters) {
        auto* label = new ColorLabel(c.text, QColor(199, 216, 237), this);
        label->setGeometry(Dx(c.x), Dx(c.y) - 2, Dx(kCounterWidth), kCounterHeight);
        label->setText(QString::fromUtf8(c.initial));
        labels_[c.id] = label;
    }
}

SkinButton* ToolButtonRows::addButton(int id, QPoint at, QSize size) {
    auto* button = new SkinButton(this);
    button->move(at);
    button->resize(size);
    connect(button, &SkinButton::clicked, this, [this, id] { emit command(id); });
    buttons_[id] = button;
    return button;
}

SkinButton* ToolButtonRows::button(int id) const {
    const auto found = buttons_.find(id);
    return found == buttons_.end() ? nullptr : found->second;
}

ColorLabel* ToolButtonRows::label(int id) const {
    const auto found = labels_.find(id);
    return found == labels_.end() ? nullptr : found->second;
}

void ToolButtonRows::setLabelText(int id, const QString& text) {
    if (ColorLabel* l = label(id)) {
        l->setText(text);
    }
}

void ToolButtonRows::applyRights(const SeatRights& rights) {
    for (const auto& [right, id] : kRightButtons) {
        button(id)->setEnabled(rights.granted(static_cast<std::size_t>(right)));
    }
}

QRect ToolButtonRows::logoArea() const {
    return QRect(width() - 80, 0, 80, 33);
}

void ToolButtonRows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, art::FrameTop(size()));
    painter.drawPixmap(logoArea().topLeft(), art::Logo());
}

void ToolButtonRows::resizeEvent(QResizeEvent*) {
    update();
}

void ToolButtonRows::mouseMoveEvent(QMouseEvent* event) {
    setCursor(logoArea().contains(event->position().toPoint()) ? Qt::PointingHandCursor
                                                               : Qt::ArrowCursor);
}

void ToolButtonRows::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && logoArea().contains(event->position().toPoint())) {
        emit logoClicked();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace talmor
