#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace talmor {

// Keeps a field that goes to the server or into a GBK file free of characters GBK cannot hold:
// an edit that brings one in is undone at once and the operator is told why, next to the field.
class GbkGuard : public QObject {
    Q_OBJECT
public:
    explicit GbkGuard(QLineEdit* field);

    // The last refusal shown; empty while none.
    const QString& lastRefusal() const { return lastRefusal_; }

signals:
    void refused(const QString& message);

private:
    void check(const QString& text);

    QLineEdit* field_;
    QString accepted_;
    QString lastRefusal_;
};

} // namespace talmor
