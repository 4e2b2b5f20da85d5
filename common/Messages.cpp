#include "common/Messages.h"

namespace tolva {

MessageReport ViewerError(const QString& procedure, const QString& description, MessageIcon icon)
{
    return {procedure + QStringLiteral(" error: ") + description, kViewerTitle, icon};
}

MessageReport OpenFileError(const QString& description)
{
    return {QStringLiteral("Open File error:\n\n") + description, kViewerTitle, MessageIcon::Exclamation};
}

MessageReport EditorError(const QString& procedure, const QString& description, MessageIcon icon)
{
    return {QStringLiteral("RecordEdit ") + procedure + QStringLiteral(" error: \n") + description,
            kEditorTitle, icon};
}

MessageReport FatalReport(const QString& message)
{
    return {QStringLiteral("ERROR : ") + message, QStringLiteral("FATAL ERROR!"), MessageIcon::Critical};
}

} // namespace tolva
