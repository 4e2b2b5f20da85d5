#pragma once
// The system's own words for a failed call, as the file messages quote them.

#include <QString>

#include <cstring>

namespace tolva {

// The description of `error` (an errno value) in the user's language.
inline QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace tolva
