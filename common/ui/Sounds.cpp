#include "common/ui/Sounds.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef TOLVA_HAVE_CANBERRA
#include <canberra.h>
#endif

namespace tolva {

QStringList FreedesktopSoundIds(const QString& name)
{
    if (name == u"RestoreUp")
        return {QStringLiteral("window-unminimized"), QStringLiteral("window-attention")};
    if (name == u"Minimize")
        return {QStringLiteral("window-minimized")};
    if (name == u"Maximize")
        return {QStringLiteral("window-maximized")};
    return {};
}

bool SoundOutputPresent(const QString& runtimeFolder, const QString& alsaCards)
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    if (!runtimeFolder.isEmpty() && QFileInfo::exists(runtimeFolder + QStringLiteral("/pulse/native")))
        return true;
    QFile cards(alsaCards);
    if (!cards.open(QIODevice::ReadOnly))
        return false;
    // One line " 0 [PCH            ]: HDA-Intel - ..." per card, or
    // "--- no soundcards ---".
    const QByteArray list = cards.read(64 * 1024);
    return !list.trimmed().isEmpty() && !list.contains("no soundcards");
}

bool SoundOutputPresent()
{
    return SoundOutputPresent(qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/proc/asound/cards"));
}

CanberraSoundPlayer::CanberraSoundPlayer(QByteArray driver) : m_driver(std::move(driver)) {}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
#ifdef TOLVA_HAVE_CANBERRA
    if (m_context)
        ca_context_destroy(static_cast<ca_context*>(m_context));
#endif
}

bool CanberraSoundPlayer::hasOutput()
{
#ifdef TOLVA_HAVE_CANBERRA
    // Opened once, on the first sound: start-up does not wait for the sound
    // server, and a machine without one costs a single failed try.
    if (!m_opened) {
        m_opened = true;
        // Without a sound output, libcanberra's fallback back ends only fill
        // the error output.
        if (m_driver.isEmpty() && !SoundOutputPresent())
            return false;
        ca_context* context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS)
            return false;
        bool ok = m_driver.isEmpty() || ca_context_set_driver(context, m_driver.constData()) == CA_SUCCESS;
        ok = ok && ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Tolva3 tools", nullptr) == CA_SUCCESS;
        ok = ok && ca_context_open(context) == CA_SUCCESS;
        if (ok)
            m_context = context;
        else
            ca_context_destroy(context);
    }
    return m_context != nullptr;
#else
    return false;
#endif
}

void CanberraSoundPlayer::play(const QString& name)
{
    const QStringList ids = FreedesktopSoundIds(name);
    if (ids.isEmpty() || !hasOutput())
        return;
#ifdef TOLVA_HAVE_CANBERRA
    // ca_context_play starts the sound and returns; a sound the theme lacks
    // is reported at once, and the next id is tried.
    for (const QString& id : ids) {
        const int result = ca_context_play(static_cast<ca_context*>(m_context), 0,
                                           CA_PROP_EVENT_ID, id.toUtf8().constData(),
                                           CA_PROP_EVENT_DESCRIPTION, name.toUtf8().constData(),
                                           nullptr);
        if (result != CA_ERROR_NOTFOUND)
            return;
    }
#endif
}

} // namespace tolva
