#pragma once

#include <QString>

#include <string>

namespace talmor {

class CMsgView;

// The notices of the file, voice and video requests in a chat display, with their link words
// (notification codes 10001 to 10006).
enum class OfferKind { File, Voice, Video };

constexpr int kCancelFile = 10001;
constexpr int kAcceptFile = 10002;
constexpr int kCancelVoice = 10003;
constexpr int kAcceptVoice = 10004;
constexpr int kCancelVideo = 10005;
constexpr int kAcceptVideo = 10006;

// A peer's text as one line of the notice that shows it: without line breaks or other control
// characters, and without the bidirectional controls that would reorder what surrounds it
// (a name that reads "photo.jpg" but is "photo\u202Egpj.exe").
QString OneLine(const QString& text);

// The peer offers a file (its name in GBK) or asks for a talk.
void ShowOfferNotice(CMsgView& display, OfferKind kind, const std::string& fileName);
// The operator's own request waits for the peer.
void ShowRequestNotice(CMsgView& display, OfferKind kind, const std::string& fileName);

} // namespace talmor
