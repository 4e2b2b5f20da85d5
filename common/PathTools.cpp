#include "common/PathTools.h"

namespace tolva {

QString PathTools::FileTitle(const QString& path, int flag)
{
    Q_UNUSED(flag);
    qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    // "C:Crater.ebm" (a drive-relative Windows path) has no separator.
    if (cut < 0 && path.size() >= 2 && path[1] == u':' && path[0].isLetter())
        cut = 1;
    return path.mid(cut + 1);
}

} // namespace tolva
