#pragma once
// How the editor presents a phase: which parameters can be edited for its
// eruption type, the captions of the caldera box and of the vent position
// slider, and the texts of the small choice lists. The window applies these;
// they hold no widget code.

#include "phase/Parameters.h"
#include "phase/PhaseRecord.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tolva::phase {

inline const QString kCalderaCaption = QStringLiteral("Caldera");
inline const QString kDiatremeCaption = QStringLiteral("Diatreme");
inline const QString kVentPositionCaption = QStringLiteral("Vent Position");
inline const QString kBurstFrequencyCaption = QStringLiteral("Burst Frequency");

// The caldera style list in its order, and what the style box shows for a
// stored style (1 Mazama, 2 Valles, "Caldera Style" for none).
inline const QString kNoStyleText = QStringLiteral("Caldera Style");
QStringList CalderaStyleList();
QString CalderaStyleText(int style);
// The style stored for a picked entry: 2 for "Valles Type", 1 otherwise.
int CalderaStyleCode(const QString& entry);

// The down side list, and what the down side box shows (1 left, 2 right,
// "Down Side" for none); the code of a picked entry, 0 for none.
inline const QString kNoDownSideText = QStringLiteral("Down Side");
QStringList DownSideList();
QString DownSideText(int side);
int DownSideCode(const QString& entry);

// The flow list: "Flow 3 Duration" for flow 3; "Flow Duration" when empty.
inline const QString kNoFlowText = QStringLiteral("Flow Duration");
QString FlowEntry(int flow);
// The flow whose entry equals the text, among flows 1 to count; 0 for none.
int FlowOfEntry(const QString& text, int count);

// The phase list: "Phase 2"; "Add Phase" when the record has none.
inline const QString kNoPhaseText = QStringLiteral("Add Phase");
QString PhaseEntry(int phase);
int PhaseOfEntry(const QString& text, int count);

// What can be edited when a phase is shown as type `shownType`. Speed is
// always editable and is not listed. `shownStrength` is the strength as the
// strength field reads; `calderaTicked` and `burstsTicked` are the states of
// the caldera and explosive bursts boxes.
struct Presentation {
    std::vector<Param> enabled;
    QString calderaCaption = kCalderaCaption;
    std::optional<QString> ventPositionCaption;  // nothing: the caption stays
    bool showStyle = false;                      // the style box shows the stored style
    bool enables(Param p) const;
};
Presentation PresentPhase(const PhaseRecord& phase, int shownType, float shownStrength, bool calderaTicked,
                          bool burstsTicked);

// The caldera box while the user types a strength: its caption when it is
// enabled, nothing when it is disabled. Strombolian up to 0.3 "Diatreme",
// Plinian from 0.5 "Caldera", Vulcanian/Surtseyan up to 0.4 "Diatreme" and
// from 0.6 "Caldera".
std::optional<QString> LiveCalderaCaption(int eruptionType, float strength);

// While the user types, a field that would rewrite its text keeps a plain
// decimal number still being typed ("12.", "-", "1.0") as long as it reads
// as the value the field holds, so that "12.5" and "-12" can be typed.
bool KeepsTypedText(const QString& text, double held);

} // namespace tolva::phase
