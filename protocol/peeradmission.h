#pragma once

#include <cstdint>
#include <string>

#include "protocol/contactstore.h"

namespace talmor {

// Who may reach the console's listeners. Anyone on the network can connect and claim any id,
// so only a contact that is online, from an address it announced (its own or the one the
// server saw), is worth a read; for a talk or transfer only the peer whose offer was accepted.

// True when `contact` is online and `address` is one it announced.
bool contactOnlineAt(const ContactRecord& contact, uint32_t address);
// A connection from `address` to a listener of `kind` that lets in `acceptedPeer` (0: any
// contact for "message", nobody for media) may wait for its hello.
bool connectionAdmitted(const ContactStore& contacts, const std::string& kind,
                        uint32_t acceptedPeer, uint32_t address);
// A hello from `sender` on a connection from `address` makes the session `sender`'s.
bool helloAdmitted(const ContactStore& contacts, const std::string& kind, uint32_t acceptedPeer,
                   uint32_t sender, uint32_t address);

} // namespace talmor
