#include "window/RecordEdit.h"

#include "ui_RecordEdit.h"

#include "common/LeadingNumber.h"
#include "common/Messages.h"
#include "common/ui/SelectAllText.h"
#include "phase/EruptionTypes.h"
#include "phase/Presentation.h"
#include "phase/TypeChange.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <exception>

namespace tolva::editor {

using namespace tolva::phase;
using record::DisplayForm;

namespace {

const QString kNewRecordText = QStringLiteral("(New)");

// The combo boxes show texts that are not entries of their lists ("Select
// Parameters", "Caldera Style" ...), so they are editable with a read-only
// line: what they show is what currentText() reads.
void ShowText(QComboBox* combo, const QString& text)
{
    combo->setEditText(text);
}

} // namespace

template <class F>
void RecordEdit::guarded(const QString& procedure, F&& work)
{
    try {
        work();
    } catch (const std::exception& e) {
        if (m_platform.messages)
            m_platform.messages->show(EditorError(procedure, QString::fromLocal8Bit(e.what()),
                                                  MessageIcon::Information));
    }
}

RecordEdit::RecordEdit(const Platform& platform, const QString& dataFolder, QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::RecordEdit>()), m_platform(platform), m_dataFolder(dataFolder)
{
    m_ui->setupUi(this);
    for (QComboBox* combo : findChildren<QComboBox*>())
        combo->lineEdit()->setReadOnly(true);

    for (const ParamInfo& info : Parameters()) {
        Field f{info.param, findChild<QWidget*>(info.control), nullptr};
        if (info.control.startsWith(QLatin1String("txt")))
            f.label = findChild<QLabel*>(QStringLiteral("lab") + info.control.mid(3));
        if (!f.control)
            continue;
        if (!info.toolTip.isEmpty())
            f.control->setToolTip(info.toolTip);
        m_fields.push_back(f);
        if (auto* edit = qobject_cast<QLineEdit*>(f.control)) {
            m_textFields[edit] = info.param;
            edit->installEventFilter(this);
        }
    }
    m_ui->txtTopFile->installEventFilter(this);
    SelectAllText::attachAll(this);

    // Start-up: the captions the program gives, the fixed lists, then the
    // empty record.
    m_ui->cmdOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    m_ui->cmdOpen->show();
    m_ui->Command1->setText(QStringLiteral("Close"));
    m_ui->Command2->setText(QStringLiteral("Save"));
    m_ui->labRecfile->setText(kNewRecordText);
    fillFixedLists();
    connectControls();
    ReadData();
}

RecordEdit::~RecordEdit() = default;

void RecordEdit::fillFixedLists()
{
    for (const EruptionTypeEntry& entry : TypeList())
        m_ui->cmbType->addItem(entry.name);
    m_ui->cmbStyle->addItems(CalderaStyleList());
    m_ui->cmbDown->addItems(DownSideList());
    ShowText(m_ui->cmbType, kNoTypeText);
    ShowText(m_ui->cmbStyle, kNoStyleText);
    ShowText(m_ui->cmbDown, kNoDownSideText);
    ShowText(m_ui->cmbFlow, kNoFlowText);
}

void RecordEdit::connectControls()
{
    auto& ui = *m_ui;
    connect(ui.cmdOpen, &QPushButton::clicked, this, &RecordEdit::cmdOpenClicked);
    connect(ui.cmdChange, &QPushButton::clicked, this, &RecordEdit::cmdChangeClicked);
    connect(ui.txtTopFile, &QLineEdit::textChanged, this, &RecordEdit::txtTopFileChanged);
    // Any edit by the user counts as a key press (also Delete, cut and paste).
    connect(ui.txtTopFile, &QLineEdit::textEdited, this, [this] {
        if (m_rec.Working.count > 0)
            enableSave();
    });
    connect(ui.cmbPhase, &QComboBox::activated, this, &RecordEdit::cmbPhaseActivated);
    connect(ui.cmdAdd, &QPushButton::clicked, this, &RecordEdit::cmdAddClicked);
    connect(ui.cmdDelete, &QPushButton::clicked, this, &RecordEdit::cmdDeleteClicked);
    connect(ui.cmdReset, &QPushButton::clicked, this, &RecordEdit::cmdResetClicked);
    connect(ui.Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui.Command2, &QPushButton::clicked, this, &RecordEdit::command2Clicked);
    connect(ui.cmdHelp, &QPushButton::clicked, this, [this] {
        if (m_platform.help)
            m_platform.help->showTopic(kHelpTopicEditor);
    });
    connect(ui.optSmall, &QRadioButton::toggled, this, [this](bool on) { if (on) setScale(SmallScale); });
    connect(ui.optNormal, &QRadioButton::toggled, this, [this](bool on) { if (on) setScale(NormalScale); });
    connect(ui.optLarge, &QRadioButton::toggled, this, [this](bool on) { if (on) setScale(LargeScale); });
    connect(ui.cmbType, &QComboBox::activated, this, &RecordEdit::typeChange);
    for (const auto& [object, param] : m_textFields) {
        auto* edit = static_cast<QLineEdit*>(object);
        const Param p = param;
        connect(edit, &QLineEdit::textChanged, this, [this, p, edit] { fieldChanged(p, edit); });
        connect(edit, &QLineEdit::textEdited, this, &RecordEdit::enableSave);
    }
    connect(ui.chkCald, &QCheckBox::toggled, this, &RecordEdit::chkCaldToggled);
    connect(ui.chkBurst, &QCheckBox::toggled, this, &RecordEdit::chkBurstToggled);
    connect(ui.chkDirected, &QCheckBox::toggled, this, &RecordEdit::chkDirectedToggled);
    connect(ui.cmbStyle, &QComboBox::activated, this, &RecordEdit::cmbStyleActivated);
    connect(ui.cmbDown, &QComboBox::activated, this, &RecordEdit::cmbDownActivated);
    connect(ui.cmbFlow, &QComboBox::activated, this, &RecordEdit::cmbFlowActivated);
}

void RecordEdit::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Centred on the screen; the position is not remembered between runs.
    if (QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = frameGeometry().size();
        move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
    }
}

void RecordEdit::closeEvent(QCloseEvent* event)
{
    // Unapplied and unsaved changes are dropped without a question.
    if (m_platform.help)
        m_platform.help->close();
    event->accept();
}

bool RecordEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent*>(event)->text().isEmpty()) {
        if (watched == m_ui->txtTopFile) {
            if (m_rec.Working.count > 0)
                enableSave();
        } else if (m_textFields.count(watched) && static_cast<QWidget*>(watched)->isEnabled()) {
            enableSave();
            // The key is delivered here, so that the change handling knows
            // that the user is typing (see fieldChanged).
            m_typing = true;
            static_cast<QObject*>(watched)->event(event);
            m_typing = false;
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

PhaseRecord& RecordEdit::current() { return m_rec.Working.phases[static_cast<size_t>(m_rec.CurrentPhase)]; }

FlowDurations& RecordEdit::currentDurations()
{
    return m_rec.Working.durations[static_cast<size_t>(m_rec.CurrentPhase)];
}

void RecordEdit::setSaveEnabled(bool enabled) { m_ui->Command2->setEnabled(enabled); }

void RecordEdit::setRecordLabel(const QString& text)
{
    m_ui->labRecfile->setText(text);
    m_ui->labRecfile->setToolTip(text == kNewRecordText ? QStringLiteral("Edit unsaved (new) file")
                                                         : QStringLiteral("Currently opened recorder file"));
}

void RecordEdit::setTopFileText(const QString& text)
{
    m_ui->txtTopFile->setText(text);
    m_ui->txtTopFile->setToolTip(text == record::kNoStratigraphicFile
                                     ? QStringLiteral("No stratigraphic file attached")
                                     : QStringLiteral("Stratigraphic file, delete to remove"));
}

void RecordEdit::setPhaseControlsEnabled(bool enabled)
{
    for (QWidget* w : {static_cast<QWidget*>(m_ui->cmbPhase), static_cast<QWidget*>(m_ui->cmbType),
                       static_cast<QWidget*>(m_ui->cmdDelete), static_cast<QWidget*>(m_ui->cmdReset)})
        w->setEnabled(enabled);
}

void RecordEdit::updateAddButton() { m_ui->cmdAdd->setEnabled(m_rec.Working.count < kMaxPhases); }

void RecordEdit::setScale(int scale)
{
    m_rec.Committed.Scale = static_cast<qint16>(scale);
    if (m_rec.Working.count > 0)
        enableSave();
}

// ---- The phase list commands ----

void RecordEdit::ReadData()
{
    guarded(QStringLiteral("ReadData"), [this] {
        m_rec.ReadData();
        showRecord();
    });
}

bool RecordEdit::OpenRecord(const QString& path)
{
    if (auto failure = m_rec.Open(path)) {
        if (m_platform.messages)
            m_platform.messages->show(record::ReadFailureReport(path, *failure));
        return false;
    }
    guarded(QStringLiteral("ReadData"), [this] { showRecord(); });
    return true;
}

// What ReadData shows of the refreshed record.
void RecordEdit::showRecord()
{
    const record::RecordFile& committed = m_rec.Committed;
    setRecordLabel(m_rec.RecordPath.isEmpty() ? kNewRecordText : DisplayForm(m_rec.RecordPath));
    {
        // The box shows the committed file; the pending one is already that.
        const QSignalBlocker block(m_ui->txtTopFile);
        setTopFileText(record::IsNoStratigraphicFile(committed.StratigraphicFile)
                           ? record::kNoStratigraphicFile
                           : DisplayForm(committed.StratigraphicFile));
    }
    m_ui->labPhases->setText(QString::number(m_rec.Working.count));

    QRadioButton* option = committed.Scale == LargeScale    ? m_ui->optLarge
                           : committed.Scale == NormalScale ? m_ui->optNormal
                           : committed.Scale == SmallScale  ? m_ui->optSmall
                                                            : nullptr;
    if (option) {
        option->setChecked(true);
    } else {
        for (QRadioButton* o : {m_ui->optSmall, m_ui->optNormal, m_ui->optLarge}) {
            o->setAutoExclusive(false);
            o->setChecked(false);
            o->setAutoExclusive(true);
        }
    }

    m_ui->cmbPhase->clear();
    QStringList entries;
    for (int p = 1; p <= m_rec.Working.count; ++p)
        entries << PhaseEntry(p);
    m_ui->cmbPhase->addItems(entries);
    const bool any = m_rec.Working.count > 0;
    ShowText(m_ui->cmbPhase, any ? PhaseEntry(1) : kNoPhaseText);
    setPhaseControlsEnabled(any);
    updateAddButton();

    ShowData(m_rec.CurrentPhase);
    setSaveEnabled(false);
}

void RecordEdit::cmdOpenClicked()
{
    if (!m_platform.files)
        return;
    const auto path = m_platform.files->openFile({QStringLiteral("Open Record File"), m_dataFolder, QString(),
                                                  QStringLiteral("Recorder Files (*.rec *.REC)")});
    if (path && !path->isEmpty())
        OpenRecord(*path);
}

void RecordEdit::cmdChangeClicked()
{
    if (!m_platform.files)
        return;
    const QString committed = m_rec.Committed.StratigraphicFile;
    const auto path = m_platform.files->openFile(
        {QStringLiteral("Open Stratigraphic File"), m_dataFolder,
         record::IsNoStratigraphicFile(committed) ? QString() : committed,
         QStringLiteral("Stratigraphic Files (*.str *.STR);;Topographic Files (*.top *.TOP)")});
    if (!path || path->isEmpty())
        return;
    setTopFileText(m_rec.ChooseStratigraphicFile(*path));
    if (m_rec.Working.count > 0)
        enableSave();
}

void RecordEdit::txtTopFileChanged(const QString& text)
{
    const QString shown = m_rec.EditStratigraphicBox(text);
    if (shown != text)
        setTopFileText(shown);  // runs this handling again with the new text
    else
        setTopFileText(text);
}

void RecordEdit::cmbPhaseActivated()
{
    if (const int n = PhaseOfEntry(m_ui->cmbPhase->currentText(), m_rec.Working.count))
        m_rec.CurrentPhase = n;
    ShowData(m_rec.CurrentPhase);
}

void RecordEdit::cmdAddClicked()
{
    if (const int n = PhaseOfEntry(m_ui->cmbPhase->currentText(), m_rec.Working.count))
        m_rec.CurrentPhase = n;
    if (!m_rec.AddPhase())
        return;
    m_ui->cmbPhase->addItem(PhaseEntry(m_rec.Working.count));
    ShowText(m_ui->cmbPhase, PhaseEntry(m_rec.CurrentPhase));
    m_ui->labPhases->setText(QString::number(m_rec.Working.count));
    setPhaseControlsEnabled(true);
    updateAddButton();
    setSaveEnabled(false);
    ShowData(m_rec.CurrentPhase);
}

void RecordEdit::cmdDeleteClicked()
{
    guarded(QStringLiteral("cmdDelete"), [this] {
        if (const int n = PhaseOfEntry(m_ui->cmbPhase->currentText(), m_rec.Working.count))
            m_rec.CurrentPhase = n;
        if (m_rec.Working.count < 1)
            return;
        m_rec.DeletePhase();
        m_ui->cmbPhase->removeItem(m_ui->cmbPhase->count() - 1);
        m_ui->labPhases->setText(QString::number(m_rec.Working.count));
        const bool any = m_rec.Working.count > 0;
        ShowText(m_ui->cmbPhase, any ? PhaseEntry(m_rec.CurrentPhase) : kNoPhaseText);
        setPhaseControlsEnabled(any);
        updateAddButton();
        ShowData(m_rec.CurrentPhase);
        setSaveEnabled(any);
    });
}

void RecordEdit::cmdResetClicked()
{
    if (m_ui->labRecfile->text() == kNewRecordText) {
        guarded(QStringLiteral("ReadData"), [this] {
            m_rec.ClearRecord();
            showRecord();
        });
    } else {
        ReadData();
    }
    setSaveEnabled(false);
}

void RecordEdit::command2Clicked()
{
    if (!ApplyParams() || !m_platform.files)
        return;
    for (;;) {
        const auto path = m_platform.files->saveFile({QStringLiteral("Save Record File"), m_dataFolder,
                                                      m_rec.RecordPath, QStringLiteral("Record File (*.rec)")});
        if (!path || path->isEmpty())
            return;
        if (record::IsDemoRecord(*path, m_dataFolder)) {
            if (m_platform.messages)
                m_platform.messages->show(record::DemoRecordReport());
            continue;
        }
        const record::SaveResult result = m_rec.SaveRec(*path);
        if (!result.ok) {
            if (m_platform.messages)
                m_platform.messages->show(record::SaveFailureReport(result));
            return;
        }
        setRecordLabel(DisplayForm(m_rec.RecordPath));
        setSaveEnabled(false);
        return;
    }
}

bool RecordEdit::ApplyParams()
{
    bool committed = false;
    guarded(QStringLiteral("ApplyParams"), [this, &committed] {
        const auto failure = m_rec.ApplyParams();
        if (!failure) {
            committed = true;
            return;
        }
        if (m_platform.messages)
            m_platform.messages->show(record::ApplyFailureReport(*failure));
        ShowText(m_ui->cmbPhase, PhaseEntry(failure->phase));
        cmbPhaseActivated();
        if (failure->flow > 0) {
            ShowText(m_ui->cmbFlow, FlowEntry(failure->flow));
            setFieldText(m_ui->txtLava, FormatShown(currentDurations()[static_cast<size_t>(failure->flow)], 1));
        }
    });
    return committed;
}

// ---- Presentation ----

void RecordEdit::setFieldText(QLineEdit* edit, const QString& text)
{
    // A shown value is stored back as shown, also when the field already
    // showed the same text (which would not signal a change).
    if (edit->text() == text)
        fieldChanged(m_textFields.at(edit), edit);
    else
        edit->setText(text);
}

void RecordEdit::ShowData(int pha)
{
    guarded(QStringLiteral("ShowData"), [this, pha] {
        auto& ui = *m_ui;
        m_showingData = true;
        ui.chkBurst->setChecked(false);
        ui.chkDirected->setChecked(false);
        ui.chkCald->setChecked(false);
        ShowText(ui.cmbStyle, kNoStyleText);
        ShowText(ui.cmbFlow, kNoFlowText);
        ShowText(ui.cmbDown, kNoDownSideText);
        m_showingData = false;

        ui.cmbFlow->clear();
        ShowText(ui.cmbFlow, kNoFlowText);
        setFieldText(ui.txtLava, QString());

        const PhaseRecord& p = m_rec.Working.phases[static_cast<size_t>(std::clamp(pha, 0, kMaxPhases))];
        m_shownType = pha > 0 ? ShownTypeOf(p) : -1;
        ShowText(ui.cmbType, pha > 0 ? TypeName(p) : kNoTypeText);
        switch (m_shownType) {
        case NonEruptive:
            if (p.EventKind != Faulting) {
                setFieldText(ui.txtErode, FormatShown(p.ErosionDuration, 0));
            } else {
                ShowText(ui.cmbDown, DownSideText(p.DownSide));
                if (p.DownSide != 1 && p.DownSide != 2)
                    setSaveEnabled(false);
            }
            break;
        case Vulcanian:
            ui.chkDirected->setChecked(p.Directed == 1);
            ui.chkCald->setChecked(p.Caldera == 1);
            break;
        case Strombolian:
        case Plinian:
            ui.chkCald->setChecked(p.Caldera == 1);
            break;
        case Hawaiian:
        case Peleean: {
            QStringList flows;
            for (int n = 1; n <= std::clamp<int>(p.BurstCount, 0, kMaxFlows); ++n)
                flows << FlowEntry(n);
            ui.cmbFlow->addItems(flows);
            ShowText(ui.cmbFlow, FlowEntry(1));
            setFieldText(ui.txtLava, FormatShown(m_rec.Working.durations[static_cast<size_t>(pha)][1], 1));
            break;
        }
        case Fumarolic:
            ui.chkBurst->setChecked(p.ExplosiveBursts == 1);
            break;
        default:
            break;
        }

        // Each text set stores the shown value back into the phase.
        static const Param order[] = {Param::VentLocation, Param::Wind, Param::MassFlux, Param::BurstCount,
                                      Param::Strength, Param::ScarpTop, Param::ScarpBase, Param::FaultMagnitude,
                                      Param::FaultDip, Param::ErosionDuration, Param::FlowLength,
                                      Param::CraterSize, Param::Position3D, Param::VentPosition, Param::Growth,
                                      Param::Speed, Param::MidRadius, Param::DepositAngle, Param::LeftAngle,
                                      Param::RightAngle};
        for (Param param : order) {
            const ParamInfo& info = Info(param);
            auto* edit = findChild<QLineEdit*>(info.control);
            // Read from the phase now: an earlier field may have changed it.
            const PhaseRecord& shown = m_rec.Working.phases[static_cast<size_t>(std::clamp(pha, 0, kMaxPhases))];
            setFieldText(edit, FormatShown(ParamValue(shown, param), info.decimals));
        }
    });
    DataActivate(m_shownType);
}

void RecordEdit::DataActivate(int etype)
{
    guarded(QStringLiteral("DataActivate"), [this, etype] {
        auto& ui = *m_ui;
        for (const Field& f : m_fields) {
            if (f.param == Param::Speed)
                continue;
            f.control->setEnabled(false);
            if (f.label)
                f.label->setEnabled(false);
        }
        ui.cmbFlow->setEnabled(false);
        ui.chkCald->setText(kCalderaCaption);

        const Presentation shown = PresentPhase(current(), etype, LeadingNumber(ui.txtStr->text()),
                                                ui.chkCald->isChecked(), ui.chkBurst->isChecked());
        for (const Field& f : m_fields) {
            if (!shown.enables(f.param))
                continue;
            f.control->setEnabled(true);
            if (f.label)
                f.label->setEnabled(true);
        }
        ui.cmbFlow->setEnabled(shown.enables(Param::FlowDuration));
        ui.chkCald->setText(shown.calderaCaption);
        if (shown.ventPositionCaption)
            ui.labSlide4->setText(*shown.ventPositionCaption);
        if (shown.showStyle)
            ShowText(ui.cmbStyle, CalderaStyleText(current().CalderaStyle));
    });
}

// ---- Field inputs ----

void RecordEdit::fieldChanged(Param param, QLineEdit* edit)
{
    PhaseRecord& phase = current();
    const QString text = edit->text();
    const double typed = LeadingNumber(text);

    if (param == Param::FlowDuration) {
        if (const int n = FlowOfEntry(m_ui->cmbFlow->currentText(), phase.BurstCount))
            currentDurations()[static_cast<size_t>(n)] = static_cast<float>(typed);
        return;
    }
    if (param == Param::Strength)
        liveCalderaRule(static_cast<float>(typed));

    const FieldEdit held = EditField(param, phase.EruptionType, typed);
    if (held.text && *held.text != text && !(m_typing && KeepsTypedText(text, held.stored))) {
        edit->setText(*held.text);  // its own change handling stores the value
        return;
    }
    SetParamValue(phase, param, held.stored);

    if (param == Param::FaultDip)
        m_ui->cmbDown->setEnabled(held.stored == 0);
    if (param == Param::BurstCount && HasFlowDurations(phase.EruptionType))
        rebuildFlowList();
}

void RecordEdit::rebuildFlowList()
{
    const PhaseRecord& phase = current();
    FlowDurations& durations = currentDurations();
    const int count = std::clamp<int>(phase.BurstCount, 0, kMaxFlows);
    QStringList flows;
    for (int n = 1; n <= count; ++n) {
        flows << FlowEntry(n);
        if (durations[static_cast<size_t>(n)] == 0 && m_platform.random)
            durations[static_cast<size_t>(n)] =
                RandomFlowDuration(m_shownType, n, phase.FlowLength, *m_platform.random);
    }
    m_ui->cmbFlow->clear();
    m_ui->cmbFlow->addItems(flows);
    ShowText(m_ui->cmbFlow, FlowEntry(1));
    setFieldText(m_ui->txtLava, FormatShown(durations[1], 1));
}

void RecordEdit::liveCalderaRule(float strength)
{
    const auto caption = LiveCalderaCaption(current().EruptionType, strength);
    m_ui->chkCald->setEnabled(caption.has_value());
    if (caption)
        m_ui->chkCald->setText(*caption);
}

void RecordEdit::chkDirectedToggled(bool ticked)
{
    if (m_showingData)
        return;
    current().Directed = ticked ? 1 : 0;
    enableSave();
}

void RecordEdit::chkBurstToggled(bool ticked)
{
    if (m_showingData)
        return;
    current().ExplosiveBursts = ticked ? 1 : 0;
    if (ticked)
        m_ui->labSlide4->setText(kBurstFrequencyCaption);
    for (QWidget* w : {static_cast<QWidget*>(m_ui->labSlide2), static_cast<QWidget*>(m_ui->txtSlide2),
                       static_cast<QWidget*>(m_ui->labSlide4), static_cast<QWidget*>(m_ui->txtSlide4)})
        w->setEnabled(ticked);
    enableSave();
}

void RecordEdit::chkCaldToggled(bool ticked)
{
    if (m_showingData)
        return;
    PhaseRecord& phase = current();
    ShowText(m_ui->cmbStyle, kNoStyleText);
    phase.Caldera = ticked ? 1 : 0;
    const bool options = ticked && (phase.EruptionType == Vulcanian || phase.EruptionType == Plinian);
    if (options) {
        ShowText(m_ui->cmbStyle, CalderaStyleText(phase.CalderaStyle));
        m_ui->labSlide4->setText(kVentPositionCaption);
    }
    m_ui->cmbStyle->setEnabled(options);
    m_ui->labSlide4->setEnabled(options);
    m_ui->txtSlide4->setEnabled(options);
    enableSave();
}

void RecordEdit::cmbStyleActivated(int index)
{
    if (m_showingData)
        return;
    current().CalderaStyle = static_cast<qint16>(CalderaStyleCode(m_ui->cmbStyle->itemText(index)));
    enableSave();
}

void RecordEdit::cmbDownActivated(int index)
{
    if (m_showingData)
        return;
    current().DownSide = static_cast<qint16>(DownSideCode(m_ui->cmbDown->itemText(index)));
    enableSave();
}

void RecordEdit::cmbFlowActivated(int index)
{
    if (m_showingData)
        return;
    const PhaseRecord& phase = current();
    if (const int n = FlowOfEntry(m_ui->cmbFlow->itemText(index), phase.BurstCount))
        setFieldText(m_ui->txtLava, FormatShown(currentDurations()[static_cast<size_t>(n)], 1));
    enableSave();
}

void RecordEdit::typeChange(int index)
{
    enableSave();
    if (!m_platform.random)
        return;
    if (const auto shown = m_rec.TypeChange(m_ui->cmbType->itemText(index), *m_platform.random))
        m_shownType = *shown;
    ShowData(m_rec.CurrentPhase);
}

} // namespace tolva::editor
