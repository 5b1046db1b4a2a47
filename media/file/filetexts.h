#pragma once

#include <QString>

namespace talmor::filetext {

// The lines a transfer adds to the chat display; `name` is the file's name.
QString AcceptedByOperator(const QString& name);
QString AcceptedByPeer(const QString& name);
QString Completed(const QString& name);
QString CancelledByOperator(const QString& name);
QString CancelledByPeer(const QString& name);
QString CannotRead(const QString& name, int error);
QString CannotWrite(const QString& name, int error);
QString NoAnswer(const QString& name);
QString PeerOffline(const QString& name);
// The direct session broke off before the file was whole.
QString ConnectionLost(const QString& name);
// The peer offered `name` while a transfer with it still runs.
QString SecondOfferRefused(const QString& name);

// Message boxes before an offer.
QString TooLarge(const QString& name);
QString CannotOpen(const QString& name, int error);

// Why a file could not be read or written, from its errno value (0: it ended early).
QString Reason(int error);

// The open and save dialogs' filters.
QString OpenFilter();
QString SaveFilter();

} // namespace talmor::filetext
