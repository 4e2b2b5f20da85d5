#pragma once
// The motion loop while a map is shown: on every pass the held directions
// move the camera, and with "Active Update" on the viewer looks every 5
// seconds whether the simulator has announced a new map. The window runs the
// passes from a timer at a fixed pace, so that the camera's speed does not
// depend on how fast the machine draws; "Stop" shows while it runs.

#include "navigation/Navigator.h"

#include <QString>

#include <functional>

namespace tolva {

// The pace of the motion loop's timer.
inline constexpr int kPassesPerSecond = 30;
inline constexpr int kPassIntervalMs = 1000 / kPassesPerSecond;

// The poll for a new map while the view moves: due 5 seconds after the last
// one. Times are seconds since midnight, kept as a single like the clock of
// the loop; the day's turn at midnight counts as time going on, so the poll
// does not stop for the rest of the night.
class NewMapPoll {
public:
    static constexpr float kInterval = 5.0f;

    // The motion starts (or a poll was made) at `now`.
    void Restart(double now) { m_last = float(now); }
    bool Due(double now) const;

private:
    float m_last = 0.0f;
};

// What one pass found.
enum class PassResult { Continue, NewMapAnnounced };

// One pass: ApplyHeldMoves, then, when `activeUpdate` is on and the poll is
// due, `readNewFile()` (the "NewFile" setting, empty when absent) and a new
// poll time. Exactly "True" announces a new map: the loop then stops and the
// map is loaded.
PassResult MotionPass(Navigator& navigator, NewMapPoll& poll, bool activeUpdate, double now,
                      const std::function<QString()>& readNewFile);

// How the motion ends once the loop has stopped.
enum class MotionEnd {
    Closed,     // the window is closing: nothing more happens
    Stopped,    // unlock the commands the motion locked
    LoadNewMap, // load the live map; the load re-enters the loop
};

// After the last pass: `closing` wins; otherwise "NewFile" is read once more
// and a new map is loaded when it says "True" and the live map file exists.
// An announced map that is missing ends the motion like "Stop", with the
// commands unlocked, rather than leaving them locked for good. A stop clears
// the held directions.
MotionEnd FinishMotion(Navigator& navigator, bool closing, const QString& newFile, bool liveMapExists);

} // namespace tolva
