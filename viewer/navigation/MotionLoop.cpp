#include "navigation/MotionLoop.h"

#include "common/SettingsStore.h"

namespace tolva {

namespace {

constexpr float kSecondsPerDay = 86400.0f;

} // namespace

bool NewMapPoll::Due(double now) const
{
    float clock = float(now);
    if (clock < m_last)
        clock += kSecondsPerDay; // past midnight since the last poll
    return clock >= m_last + kInterval;
}

PassResult MotionPass(Navigator& navigator, NewMapPoll& poll, bool activeUpdate, double now,
                      const std::function<QString()>& readNewFile)
{
    navigator.ApplyHeldMoves();
    if (!activeUpdate || !poll.Due(now))
        return PassResult::Continue;
    const bool announced = readNewFile() == settings::kTrue;
    poll.Restart(now);
    return announced ? PassResult::NewMapAnnounced : PassResult::Continue;
}

MotionEnd FinishMotion(Navigator& navigator, bool closing, const QString& newFile, bool liveMapExists)
{
    if (closing)
        return MotionEnd::Closed;
    if (newFile == settings::kTrue && liveMapExists)
        return MotionEnd::LoadNewMap;
    navigator.ClearHeld();
    return MotionEnd::Stopped;
}

} // namespace tolva
