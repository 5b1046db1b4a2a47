#pragma once

#include "server/platformserver.h"

namespace talmor::server {

// The request handlers, one family per file. Each adds its commands to the table.
void addSessionHandlers(HandlerTable& table);
void addContactHandlers(HandlerTable& table);
void addCallHandlers(HandlerTable& table);
void addQueryHandlers(HandlerTable& table);
void addMediaRelay(HandlerTable& table);

} // namespace talmor::server
