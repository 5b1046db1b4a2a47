#include "calls/journaltexts.h"

#include <QDateTime>

#include "calls/callcolumns.h"
#include "kit/gbktext.h"
#include "storage/consoleoptions.h"

namespace talmor {

using storage::JournalStep;

QStringList JournalHeadings() {
    return {QStringLiteral("时间"),   QStringLiteral("呼叫号"),   QStringLiteral("帐号"),
            QStringLiteral("呼叫人"), QStringLiteral("呼叫类型"), QStringLiteral("步骤"),
            QStringLiteral("内容")};
}

QString JournalStepText(JournalStep step) {
    switch (step) {
    case JournalStep::Arrived:
        return QStringLiteral("呼叫到达");
    case JournalStep::Shown:
        return QStringLiteral("列入窗格");
    case JournalStep::SoundPlayed:
        return QStringLiteral("报警声音");
    case JournalStep::Taken:
        return QStringLiteral("接听处理");
    case JournalStep::GivenUp:
        return QStringLiteral("无法完成");
    case JournalStep::Misdial:
        return QStringLiteral("误按或测试");
    case JournalStep::Blacklisted:
        return QStringLiteral("列入黑名单");
    case JournalStep::ReportSaved:
        return QStringLiteral("填写处理报告");
    case JournalStep::SmsSent:
        return QStringLiteral("发送短信");
    case JournalStep::MerchantNotified:
        return QStringLiteral("通知商户");
    case JournalStep::Confirmed:
        return QStringLiteral("服务器确认");
    case JournalStep::Withdrawn:
        return QStringLiteral("他人接听或撤回");
    }
    return QString();
}

std::string AlarmDetail(int event, int repeat) {
    std::string detail = event >= 0 && event < static_cast<int>(storage::kSoundEventCount)
                             ? storage::kSoundEventNames[static_cast<std::size_t>(event)]
                             : std::to_string(event);
    if (repeat > 0) {
        detail += ToGbk(QString::fromUtf8(" 第%1次重复提醒").arg(repeat)).value_or(std::string());
    }
    return detail;
}

QStringList JournalCells(const storage::JournalEntry& entry) {
    const QString time = QDateTime::fromMSecsSinceEpoch(entry.timeMs)
                             .toLocalTime()
                             .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    const QString type =
        entry.category < 0 ? QString() : CallTypeLabel(static_cast<uint32_t>(entry.category));
    return {time,
            QString::number(entry.callId),
            entry.callerId == 0 ? QString() : QString::number(entry.callerId),
            FromGbk(entry.callerName),
            type,
            JournalStepText(entry.step),
            FromGbk(entry.detail)};
}

namespace {

QString CsvField(QString field) {
    if (!field.isEmpty() && QStringLiteral("=+-@\t\r").contains(field.front())) {
        field.prepend('\'');
    }
    if (field.contains(',') || field.contains('"') || field.contains('\n') ||
        field.contains('\r')) {
        field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return '"' + field + '"';
    }
    return field;
}

QString CsvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& field : fields) {
        quoted << CsvField(field);
    }
    return quoted.join(',') + QStringLiteral("\r\n");
}

} // namespace

QString JournalCsv(const std::vector<storage::JournalEntry>& entries) {
    QString csv = CsvLine(JournalHeadings());
    for (const storage::JournalEntry& entry : entries) {
        csv += CsvLine(JournalCells(entry));
    }
    return csv;
}

std::optional<storage::JournalFilter> JournalFilterOf(const JournalQuery& query) {
    storage::JournalFilter filter;
    const QString callId = query.callId.trimmed();
    if (!callId.isEmpty()) {
        bool number = false;
        const uint id = callId.toUInt(&number);
        if (!number) {
            return std::nullopt;
        }
        filter.callId = id;
    }
    const std::optional<std::string> caller = ToGbk(query.caller.trimmed());
    if (!caller) {
        return std::nullopt;
    }
    filter.caller = *caller;
    if (query.category >= 0) {
        filter.category = query.category;
    }
    if (query.day && query.day->isValid()) {
        // Local midnight to the next one: a day with a clock change is 23 or 25 hours long.
        filter.fromMs = query.day->startOfDay().toMSecsSinceEpoch();
        filter.toMs = query.day->addDays(1).startOfDay().toMSecsSinceEpoch();
    }
    return filter;
}

} // namespace talmor
