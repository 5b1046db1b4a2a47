#include "net/qthostresolver.h"

#include <QHostInfo>

namespace talmor {

QtHostResolver::QtHostResolver() = default;

QtHostResolver::~QtHostResolver() = default;

void QtHostResolver::lookup(const std::string& host, std::function<void(uint32_t address)> done) {
    QHostInfo::lookupHost(QString::fromStdString(host), &context_,
                          [done = std::move(done)](const QHostInfo& info) {
                              uint32_t address = 0;
                              for (const QHostAddress& candidate : info.addresses()) {
                                  if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
                                      address = candidate.toIPv4Address();
                                      break;
                                  }
                              }
                              done(address);
                          });
}

} // namespace talmor
