#pragma once
// The record editor's window: the form RecordEdit over the editor's record.
// The handlers read the controls, call the record core and show the result;
// the rules (limits, messages, type tables, file format) live in the core.

#include "common/Platform.h"
#include "phase/Parameters.h"
#include "record/EditorRecord.h"

#include <QWidget>

#include <map>
#include <vector>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Ui {
class RecordEdit;
}

namespace tolva::editor {

class RecordEdit : public QWidget {
    Q_OBJECT
public:
    // `dataFolder` is the user's data folder ("DataPath" of the settings),
    // the start folder of the file dialogs; empty for none.
    RecordEdit(const Platform& platform, const QString& dataFolder, QWidget* parent = nullptr);
    ~RecordEdit() override;

    // The record being edited, for the program's callers and tests.
    const record::EditorRecord& record() const { return m_rec; }
    int shownType() const { return m_shownType; }

    // Opens the record at `path` as the open command does after its dialog:
    // a record that cannot be read is reported and nothing changes.
    bool OpenRecord(const QString& path);

    // Refreshes the working copy from the committed one and shows phase 1.
    void ReadData();
    // Shows working phase `pha` (0: none) and presents it for its type.
    void ShowData(int pha);
    // Enables and captions the controls for type `etype`.
    void DataActivate(int etype);
    // Checks every phase; a failure is shown with its phase (and flow)
    // selected. True when the working copy has been committed.
    bool ApplyParams();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        phase::Param param;
        QWidget* control = nullptr;
        QLabel* label = nullptr;
    };

    void connectControls();
    void fillFixedLists();
    void showRecord();
    void setPhaseControlsEnabled(bool enabled);
    void updateAddButton();
    void enableSave() { setSaveEnabled(true); }
    void setSaveEnabled(bool enabled);
    void setRecordLabel(const QString& text);
    void setTopFileText(const QString& text);
    void setFieldText(QLineEdit* edit, const QString& text);
    void setScale(int scale);
    phase::PhaseRecord& current();
    phase::FlowDurations& currentDurations();

    // Handlers.
    void cmdOpenClicked();
    void cmdChangeClicked();
    void txtTopFileChanged(const QString& text);
    void cmbPhaseActivated();
    void cmdAddClicked();
    void cmdDeleteClicked();
    void cmdResetClicked();
    void command2Clicked();
    void typeChange(int index);
    void fieldChanged(phase::Param param, QLineEdit* edit);
    void rebuildFlowList();
    void liveCalderaRule(float strength);
    void chkCaldToggled(bool ticked);
    void chkBurstToggled(bool ticked);
    void chkDirectedToggled(bool ticked);
    void cmbStyleActivated(int index);
    void cmbDownActivated(int index);
    void cmbFlowActivated(int index);

    template <class F>
    void guarded(const QString& procedure, F&& work);

    std::unique_ptr<Ui::RecordEdit> m_ui;
    Platform m_platform;
    QString m_dataFolder;
    record::EditorRecord m_rec;
    std::vector<Field> m_fields;
    std::map<QObject*, phase::Param> m_textFields;
    int m_shownType = -1;
    bool m_showingData = false;
    bool m_typing = false;  // a key typed into a parameter field is being handled
    bool m_placed = false;
};

} // namespace tolva::editor
