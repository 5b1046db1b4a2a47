#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

#include "server/directory.h"
#include "server/scenario.h"
#include "server/serversettings.h"

namespace talmor::server {

// A call waiting when the server starts.
struct SeedCall {
    uint32_t user = 0;
    uint32_t category = 0;
    uint32_t secondsAgo = 0;
    uint32_t source = 0;
    std::string serviceObject;
};

// Everything a seed file gives: accounts with their contact lists, sellers, settings, the
// calls waiting at start and the scenario.
struct Seed {
    Directory directory;
    ServerSettings settings;
    std::vector<SeedCall> calls;
    ScenarioConfig scenario;
};

// Reads a seed from its JSON text (UTF-8; texts become GBK). None, with `error` set, when the
// seed is malformed: a field of the wrong type, an id used twice, a contact or caller that is
// not an account, a text GBK cannot write.
std::optional<Seed> parseSeed(const QByteArray& json, QString& error);
std::optional<Seed> loadSeedFile(const QString& path, QString& error);

} // namespace talmor::server
