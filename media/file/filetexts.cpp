#include "media/file/filetexts.h"

#include <cerrno>

namespace talmor::filetext {

namespace {
QString Line(const QString& text) {
    return QStringLiteral("\r\n") + text + QStringLiteral("\r\n");
}
} // namespace

QString AcceptedByOperator(const QString& name) {
    return Line(QStringLiteral("您已经接受了文件 ") + name +
                QStringLiteral(" 的传送！正在进行UDP直联请等待..."));
}

QString AcceptedByPeer(const QString& name) {
    return Line(QStringLiteral("对方已经接受了文件 ") + name +
                QStringLiteral(" 的传送！正在进行UDP直联请等待..."));
}

QString Completed(const QString& name) {
    return Line(QStringLiteral("已成功完成文件 ") + name + QStringLiteral(" 的传送。"));
}

QString CancelledByOperator(const QString& name) {
    return Line(QStringLiteral("您已经取消了文件 ") + name + QStringLiteral(" 的传送！"));
}

QString CancelledByPeer(const QString& name) {
    return Line(QStringLiteral("对方已经取消了文件 ") + name + QStringLiteral(" 的传送！"));
}

QString CannotRead(const QString& name, int error) {
    return Line(QStringLiteral("文件 ") + name + QStringLiteral(" 无法读取（") + Reason(error) +
                QStringLiteral("），传送已中止！"));
}

QString CannotWrite(const QString& name, int error) {
    return Line(QStringLiteral("文件 ") + name + QStringLiteral(" 无法写入（") + Reason(error) +
                QStringLiteral("），传送已中止，未完成的文件已删除！"));
}

QString NoAnswer(const QString& name) {
    return Line(QStringLiteral("对方长时间没有回应，文件 ") + name +
                QStringLiteral(" 的传送已中止！"));
}

QString PeerOffline(const QString& name) {
    return Line(QStringLiteral("对方已经脱机，文件 ") + name + QStringLiteral(" 的传送已中止！"));
}

QString ConnectionLost(const QString& name) {
    return Line(QStringLiteral("与对方的连接已断开，文件 ") + name +
                QStringLiteral(" 的传送已中止！"));
}

QString SecondOfferRefused(const QString& name) {
    return Line(QStringLiteral("对方发来文件 ") + name +
                QStringLiteral(" 传送请求，当前的文件传送尚未结束，已拒绝该请求。"));
}

QString TooLarge(const QString& name) {
    return QStringLiteral("文件 ") + name + QStringLiteral(" 达到或超过4GB，无法传送！");
}

QString CannotOpen(const QString& name, int error) {
    return QStringLiteral("文件 ") + name + QStringLiteral(" 无法读取（") + Reason(error) +
           QStringLiteral("），无法传送！");
}

QString Reason(int error) {
    switch (error) {
    case 0:
        return QStringLiteral("文件比声明的短");
    case ENOENT:
        return QStringLiteral("文件或文件夹不存在");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有访问权限");
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
    case EISDIR:
        return QStringLiteral("这是一个文件夹");
    case EROFS:
        return QStringLiteral("只读的文件系统");
    case EFBIG:
        return QStringLiteral("超过声明的大小");
    case EIO:
        return QStringLiteral("读写错误");
    default:
        return QStringLiteral("错误码 ") + QString::number(error);
    }
}

QString OpenFilter() {
    return QStringLiteral("所有文件 (*)");
}

QString SaveFilter() {
    return QStringLiteral("* (*)");
}

} // namespace talmor::filetext
