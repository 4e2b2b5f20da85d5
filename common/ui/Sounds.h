#pragma once
// The system sounds "RestoreUp", "Minimize" and "Maximize", played through the
// desktop's sound theme with libcanberra. Silent where there is no sound
// output (or no libcanberra); never blocks and never fails the caller.

#include "common/Platform.h"

#include <QByteArray>
#include <QStringList>

namespace tolva {

// The freedesktop sound-theme event ids for a sound name, best first; empty
// for a name we do not know. "RestoreUp" falls back to "window-attention",
// which every theme has; "Minimize" and "Maximize" play only where the theme
// has the window sounds, and stay silent otherwise rather than play a
// stranger's sound.
QStringList FreedesktopSoundIds(const QString& name);

// Whether the machine has somewhere to play sounds: a sound server
// (PulseAudio or PipeWire: PULSE_SERVER, or its socket in `runtimeFolder`) or
// at least one sound card in the ALSA card list `alsaCards` (/proc/asound/cards).
bool SoundOutputPresent(const QString& runtimeFolder, const QString& alsaCards);
bool SoundOutputPresent();

class CanberraSoundPlayer : public SoundPlayer {
public:
    // `driver` picks a libcanberra back end ("pulse", "alsa", ...); empty for
    // the default choice. Without a sound output (SoundOutputPresent) nothing
    // is opened at all, unless `driver` names one.
    explicit CanberraSoundPlayer(QByteArray driver = {});
    ~CanberraSoundPlayer() override;
    CanberraSoundPlayer(const CanberraSoundPlayer&) = delete;
    CanberraSoundPlayer& operator=(const CanberraSoundPlayer&) = delete;

    void play(const QString& name) override;

    // Whether a sound output could be opened (opens it on first use).
    bool hasOutput();

private:
    QByteArray m_driver;
    void* m_context = nullptr;  // ca_context*
    bool m_opened = false;
};

} // namespace tolva
