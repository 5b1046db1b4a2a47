#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

#include "media/voice/voicestream.h"
#include "protocol/registeredwindow.h"

class QSlider;

namespace talmor {

// The strip of a running talk inside its chat window (registered window type 8, keyed by the
// peer): the input and output volume sliders over the talk's sound. Creating it starts the
// sound; destroying it stops both devices and frees the coder.
class CSendWaveDlg : public QWidget, public RegisteredWindow {
    Q_OBJECT
public:
    static constexpr uint32_t kWindowType = 8;
    static constexpr int kX = 146;
    static constexpr int kFromBottom = 123;
    static constexpr int kWidth = 161;
    static constexpr int kHeight = 27;

    CSendWaveDlg(WindowRegistry& registry, uint32_t peer, QWidget& chat,
                 std::unique_ptr<voice::VoiceStream> stream);
    ~CSendWaveDlg() override;

    // Opens the devices; says which could be opened.
    voice::VoiceStream::Opened start();
    voice::VoiceStream& stream() { return *stream_; }
    QSlider& inputSlider() { return *input_; }
    QSlider& outputSlider() { return *output_; }
    // Follows the chat window's bottom edge.
    void place();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<voice::VoiceStream> stream_;
    QSlider* input_;
    QSlider* output_;
};

} // namespace talmor
