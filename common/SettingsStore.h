#pragma once
// The per-user settings store that the viewer, the editor and the simulator
// share. It lives in QSettings("Mossane", "Tolva3"): the registry under
// HKCU\Software\Mossane\Tolva3 on Windows, $XDG_CONFIG_HOME/Mossane/Tolva3.conf
// elsewhere. Every value is stored as text so that the simulator can read it.

#include <QSettings>
#include <QString>
#include <QVariant>

namespace tolva {

// The sections and keys the tools use.
namespace settings {

inline const QString kTopo3D = QStringLiteral("Tolva3\\Topo3D");
inline const QString kSettings = QStringLiteral("Tolva3\\Settings");

// "Tolva3\Topo3D"
inline const QString kTopoHeight = QStringLiteral("TopoHeight");      // text of the height box
inline const QString kTopoLight = QStringLiteral("TopoLight");        // text of the light box
inline const QString kTopoColor = QStringLiteral("TopoColor");        // colour reference, integer
inline const QString kTopoRender = QStringLiteral("TopoRender");      // hardware rendering, Boolean
inline const QString kLeft = QStringLiteral("Left");                  // window position, twips
inline const QString kTop = QStringLiteral("Top");
inline const QString kCaption = QStringLiteral("Caption");            // written only, for the simulator
inline const QString kNewFile = QStringLiteral("NewFile");            // "True": a new map awaits
// "Tolva3\Settings"
inline const QString kDataPath = QStringLiteral("DataPath");          // the user's data folder

inline const QString kTrue = QStringLiteral("True");
inline const QString kFalse = QStringLiteral("False");

} // namespace settings

class SettingsStore {
public:
    SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text, or `defaultValue` (as text) when the key has none. An
    // empty stored value is a value. Sees the latest write of any process.
    QString ReadSetting(const QString& section, const QString& key,
                        const QVariant& defaultValue = QString()) const;

    // Stores `value` as text (see ValueText) and writes it through at once, so
    // that other processes see it. False when the store cannot be written;
    // callers that follow the simulator's rules ignore the result.
    bool WriteSetting(const QString& section, const QString& key, const QVariant& value);

    // The file behind the store (for messages and tests).
    QString fileName() const;

    // "Tolva3\Topo3D" + "NewFile" -> "Tolva3/Topo3D/NewFile": a backslash in a
    // QSettings group would become an escaped name, not a subsection.
    static QString KeyPath(const QString& section, const QString& key);

    // How a value is stored: Booleans as "True"/"False", integers in decimal,
    // floats in plain decimal digits, no exponent, as few as read back exactly
    // ("0.5", "3540", "100000", "0.00001"), text unchanged.
    static QString ValueText(const QVariant& value);

private:
    mutable QSettings m_settings;
};

// The default window position along one axis: the window centred on the
// screen, as the text the store would hold. Any unit (the viewer uses twips).
QString CentredPosition(double screenSize, double windowSize);

} // namespace tolva
