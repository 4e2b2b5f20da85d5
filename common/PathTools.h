#pragma once
// Small path helpers both programs carry.

#include <QString>

namespace tolva {

class PathTools {
public:
    // The file name of `path` without its folder: "C:\maps\Crater.ebm" and
    // "/home/ana/maps/Crater.ebm" both give "Crater.ebm"; a path that ends in a
    // separator gives empty text. Both separators are accepted because the
    // simulator hands over Windows paths. `flag` is kept for the callers, which
    // all pass 0; it changes nothing.
    static QString FileTitle(const QString& path, int flag = 0);
};

} // namespace tolva
