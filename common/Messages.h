#pragma once
// The wording of every error report the two tools show, in one place.

#include "common/Platform.h"

namespace tolva {

inline const QString kViewerTitle = QStringLiteral("Tolva3DView");
inline const QString kEditorTitle = QStringLiteral("TolvaEdit");

// "<Procedure> error: <description>", titled with the viewer's name.
MessageReport ViewerError(const QString& procedure, const QString& description,
                          MessageIcon icon = MessageIcon::Exclamation);

// A map that cannot be loaded: "Open File error:", two line breaks and the
// description, titled with the viewer's name.
MessageReport OpenFileError(const QString& description);

// "RecordEdit <Procedure> error: " + line break + description, titled "TolvaEdit".
MessageReport EditorError(const QString& procedure, const QString& description,
                          MessageIcon icon = MessageIcon::Exclamation);

// "ERROR : <message>" under "FATAL ERROR!", critical icon.
MessageReport FatalReport(const QString& message);

} // namespace tolva
