#pragma once

#include <QObject>

#include "protocol/socketlayer.h"

namespace talmor {

// Asynchronous host-name lookup with QHostInfo; the answer arrives on the event loop. Lookups
// still running when the resolver is destroyed never answer.
class QtHostResolver : public HostResolver {
public:
    QtHostResolver();
    ~QtHostResolver() override;
    QtHostResolver(const QtHostResolver&) = delete;
    QtHostResolver& operator=(const QtHostResolver&) = delete;

    void lookup(const std::string& host, std::function<void(uint32_t address)> done) override;

private:
    QObject context_;
};

} // namespace talmor
