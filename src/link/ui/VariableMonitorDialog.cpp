#include "link/ui/VariableMonitorDialog.h"
#include "link/link_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

#include "link/link_fields.h"
#include "link/monitor_link.h"
#include "link/monitor_messages.h"
#include "link/ui/BusyMessageWindow.h"
#include "link/ui/LinkFieldSpinBox.h"

namespace velmorin {
namespace {

constexpr int ValueFieldLength = 8;
constexpr const char* ReceiveCaption = "Recibir PLC";
constexpr const char* StopCaption = "Detener";

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

QLabel* LightLabel(QWidget* parent, const char* name) {
    auto* light = new QLabel(parent);
    light->setObjectName(name);
    light->setFixedSize(9, 9);
    return light;
}

}  // namespace

VariableMonitorDialog::VariableMonitorDialog(const MonitorContext& context, MonitorState& state, ProgramModel& model,
                                             std::string directory, QWidget* parent)
    : QDialog(parent),
      context_(context),
      state_(state),
      model_(model),
      directory_(std::move(directory)),
      link_(std::make_unique<MonitorLink>(context.link, context.clock, context.port)) {
    setObjectName("variableMonitor");
    setWindowTitle(QStringLiteral("Monitor"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(BuildMaps(), 0, 0);
    layout->addWidget(BuildDescription(), 1, 0);
    layout->addWidget(BuildButtons(), 0, 1, 2, 1);
    auto* files = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("Guardar"), this);
    save->setObjectName("save");
    auto* load = new QPushButton(QStringLiteral("Recuperar"), this);
    load->setObjectName("load");
    files->addWidget(save);
    files->addWidget(load);
    files->addStretch();
    layout->addLayout(files, 2, 0, 1, 2);
    connect(save, &QPushButton::clicked, this, &VariableMonitorDialog::onSave);
    connect(load, &QPushButton::clicked, this, &VariableMonitorDialog::onLoad);

    // Opening: map 0, the lists, the identifier, the program's name, dark lights.
    currentMap_ = 0;
    const std::vector<std::string> items = VariableListItems(model_.monitorNames);
    for (RowWidgets& row : rows_)
        for (const std::string& item : items) row.variable->addItem(Text(item));
    ShowMap();
    identifier_->setValue(std::clamp(context_.plcId, MinControllerId, MaxControllerId));
    link_->SetControllerId(static_cast<uint8_t>(identifier_->value()));
    if (!state_.programPath.empty()) programName_->setText(Text(ProgramDisplayName(state_.programPath)));
    ShowLights(linkLight_, heartbeatLight_, {}, context_.lights);
    receive_->setFocus();
}

VariableMonitorDialog::~VariableMonitorDialog() {
    // Never closed through done(): the worker must not outlive the window it reports to.
    link_->RequestStop();
}

QWidget* VariableMonitorDialog::BuildMaps() {
    // One set of rows under the four tabs: a tab only chooses which map
    // the rows show.
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(panel);
    tabs_ = new QTabBar(panel);
    tabs_->setObjectName("mapTabs");
    for (int map = 1; map <= MonitorMapCount; ++map) tabs_->addTab(QStringLiteral("Mapa %1").arg(map));
    layout->addWidget(tabs_);

    auto* grid = new QGridLayout;
    const char* headers[] = {"Variable", "Bit0", "Contenido", "Word", "Envio"};
    for (int column = 0; column < 5; ++column) {
        auto* header = new QLabel(QString::fromUtf8(headers[column]), panel);
        grid->addWidget(header, 0, column, column == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    }
    const auto digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), panel);
    for (int i = 0; i < MonitorRowsPerMap; ++i) {
        RowWidgets& row = rows_[static_cast<size_t>(i)];
        row.variable = new QComboBox(panel);
        row.variable->setObjectName(QStringLiteral("variable%1").arg(i));
        row.variable->setMinimumContentsLength(11);
        row.variable->setMaxVisibleItems(20);
        row.variable->installEventFilter(this);
        row.bit0 = new QCheckBox(panel);
        row.bit0->setObjectName(QStringLiteral("bit0_%1").arg(i));
        row.bit0->setEnabled(false);  // it only shows
        row.value = new QLineEdit(panel);
        row.value->setObjectName(QStringLiteral("value%1").arg(i));
        row.value->setMaxLength(ValueFieldLength);
        row.value->setValidator(digits);
        row.value->setFixedWidth(row.value->fontMetrics().horizontalAdvance(QStringLiteral("888888888")) + 12);
        row.word = new QCheckBox(panel);
        row.word->setObjectName(QStringLiteral("word%1").arg(i));
        row.send = new QCheckBox(panel);
        row.send->setObjectName(QStringLiteral("send%1").arg(i));
        grid->addWidget(row.variable, i + 1, 0);
        grid->addWidget(row.bit0, i + 1, 1, Qt::AlignHCenter);
        grid->addWidget(row.value, i + 1, 2);
        grid->addWidget(row.word, i + 1, 3, Qt::AlignHCenter);
        grid->addWidget(row.send, i + 1, 4, Qt::AlignHCenter);

        connect(row.variable, &QComboBox::activated, this, [this, i] { onVariableChosen(i); });
        connect(row.word, &QCheckBox::clicked, this,
                [this, i](bool checked) { Map()[static_cast<size_t>(i)].word = checked ? 1 : 0; });
        connect(row.send, &QCheckBox::clicked, this,
                [this, i](bool checked) { Map()[static_cast<size_t>(i)].send = checked ? 1 : 0; });
    }
    layout->addLayout(grid);
    connect(tabs_, &QTabBar::currentChanged, this, &VariableMonitorDialog::onMapChosen);
    return panel;
}

QWidget* VariableMonitorDialog::BuildDescription() {
    auto* group = new QGroupBox(QStringLiteral("Descripción de variables"), this);
    auto* layout = new QVBoxLayout(group);
    description_ = new QLabel(group);
    description_->setObjectName("description");
    description_->setMinimumHeight(description_->fontMetrics().height() + 4);
    layout->addWidget(description_);
    auto* line = new QHBoxLayout;
    auto* associate = new QPushButton(QStringLiteral("Asociar"), group);
    associate->setObjectName("associate");
    programName_ = new QLineEdit(group);
    programName_->setObjectName("programName");
    programName_->setReadOnly(true);
    line->addWidget(associate);
    line->addWidget(programName_, 1);
    layout->addLayout(line);
    connect(associate, &QPushButton::clicked, this, &VariableMonitorDialog::onAssociate);
    return group;
}

QWidget* VariableMonitorDialog::BuildButtons() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    send_ = new QPushButton(QStringLiteral("Enviar PLC"), column);
    send_->setObjectName("sendValues");
    receive_ = new QPushButton(QString::fromUtf8(ReceiveCaption), column);
    receive_->setObjectName("receive");
    receive_->setDefault(true);
    layout->addWidget(send_);
    layout->addWidget(receive_);

    auto* lights = new QFrame(column);
    lights->setFrameShape(QFrame::StyledPanel);
    auto* lightsLayout = new QVBoxLayout(lights);
    auto* pair = new QHBoxLayout;
    linkLight_ = LightLabel(lights, "linkLight");
    heartbeatLight_ = LightLabel(lights, "heartbeatLight");
    pair->addStretch();
    pair->addWidget(linkLight_);
    pair->addSpacing(8);
    pair->addWidget(heartbeatLight_);
    pair->addStretch();
    lightsLayout->addLayout(pair);
    // The rate and the exchanges without reply since "Recibir PLC": a slow
    // cable and a silent controller look different here.
    figures_ = new QLabel(lights);
    figures_->setObjectName("linkFigures");
    figures_->setAlignment(Qt::AlignCenter);
    figures_->setWordWrap(true);
    QFont small = figures_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    figures_->setFont(small);
    figures_->setMinimumWidth(figures_->fontMetrics().horizontalAdvance(QStringLiteral("9999 sin respuesta")) + 4);
    // Their two lines have their room from the start, so that the buttons
    // below stay where they are when the first figures come in.
    figures_->setText(QStringLiteral("99.9 ciclos/s\n9999 sin respuesta"));
    figures_->setMinimumHeight(figures_->heightForWidth(figures_->minimumWidth()));
    figures_->clear();
    lightsLayout->addWidget(figures_);
    layout->addWidget(lights);

    auto* idLine = new QHBoxLayout;
    auto* idLabel = new QLabel(QStringLiteral("PLC ID"), column);
    identifier_ = new LinkFieldSpinBox(LinkFieldSpinBox::Format::Identifier, column);
    identifier_->setObjectName("plcId");
    // In this narrow column the field reads from the left and takes the width the column gives.
    identifier_->setAlignment(Qt::AlignLeft);
    identifier_->setSizePolicy(QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed, QSizePolicy::SpinBox));
    idLabel->setBuddy(identifier_);
    idLine->addWidget(idLabel);
    idLine->addWidget(identifier_);
    layout->addLayout(idLine);
    layout->addStretch();

    auto* exit = new QPushButton(QStringLiteral("Salir"), column);
    exit->setObjectName("exit");
    auto* graphic = new QPushButton(QString::fromUtf8("Gráfico"), column);
    graphic->setObjectName("graphic");
    layout->addWidget(exit);
    layout->addWidget(graphic);

    connect(send_, &QPushButton::clicked, this, &VariableMonitorDialog::onSendValues);
    connect(receive_, &QPushButton::clicked, this, &VariableMonitorDialog::onToggleReceive);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    connect(graphic, &QPushButton::clicked, this, &VariableMonitorDialog::onGraphic);
    connect(identifier_, &QSpinBox::valueChanged, this,
            [this](int id) { link_->SetControllerId(static_cast<uint8_t>(id)); });
    return column;
}

bool VariableMonitorDialog::OpenPort() {
    if (const Result opened = link_->Open(); !opened) {
        context_.prompts.ShowFailure(opened);
        return false;
    }
    return true;
}

// --- What the rows show ----------------------------------------------------

void VariableMonitorDialog::ShowMap() {
    const std::array<RowView, MonitorRowsPerMap> views = velmorin::ShowMap(Map(), state_.image);
    for (size_t i = 0; i < views.size(); ++i) {
        const RowView& view = views[i];
        RowWidgets& row = rows_[i];
        const QSignalBlocker quiet(row.variable);
        row.variable->setCurrentIndex(std::min(view.item, row.variable->count() - 1));
        row.value->setText(Text(view.value.text));
        row.bit0->setChecked(view.value.bit0.value_or(false));
        row.word->setChecked(view.word);
        row.send->setChecked(view.send);
    }
}

void VariableMonitorDialog::ShowValues(const std::array<RowValue, MonitorRowsPerMap>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        rows_[i].value->setText(Text(values[i].text));
        if (values[i].bit0) rows_[i].bit0->setChecked(*values[i].bit0);
    }
}

void VariableMonitorDialog::SetValueFieldsEnabled(bool enabled) {
    for (RowWidgets& row : rows_) row.value->setEnabled(enabled);
}

void VariableMonitorDialog::ShowIdle() {
    receive_->setText(QString::fromUtf8(ReceiveCaption));
    send_->setEnabled(true);
    SetValueFieldsEnabled(true);
    ShowLights(linkLight_, heartbeatLight_, {}, context_.lights);
}

// The worker adopts the shown map's list at its next cycle end.
void VariableMonitorDialog::PublishShownMap() {
    if (polling_) link_->channel().Publish(PollListAddresses(RebuildPollList(Map())));
}

void VariableMonitorDialog::onMapChosen(int index) {
    if (index < 0 || index >= MonitorMapCount) return;
    currentMap_ = index;
    ShowMap();
    PublishShownMap();
}

void VariableMonitorDialog::onVariableChosen(int rowIndex) {
    const std::optional<std::string> line =
        SelectVariable(Map()[static_cast<size_t>(rowIndex)],
                       rows_[static_cast<size_t>(rowIndex)].variable->currentIndex(), model_.monitorNames);
    if (line) description_->setText(Text(*line));
    PublishShownMap();
}

bool VariableMonitorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int i = 0; i < MonitorRowsPerMap; ++i)
            if (watched == rows_[static_cast<size_t>(i)].variable) onVariableChosen(i);
    }
    return QDialog::eventFilter(watched, event);
}

// --- Polling -----------------------------------------------------------------

void VariableMonitorDialog::onToggleReceive() {
    if (polling_)
        StopPolling();
    else
        StartPolling();
}

void VariableMonitorDialog::StartPolling() {
    if (pollJob_.running()) return;  // the end of the last run is still being delivered
    link_->Purge();
    const VariablePollPlan plan = PlanVariablePoll(Map());
    SetValueFieldsEnabled(false);
    if (!plan.result) {
        context_.prompts.ShowMessage(plan.result.message);
        SetValueFieldsEnabled(true);
        return;
    }
    receive_->setText(QString::fromUtf8(StopCaption));
    figures_->clear();  // they count from this "Recibir PLC"
    link_->channel().Publish(plan.renewed);
    link_->SetControllerId(static_cast<uint8_t>(identifier_->value()));

    // The worker's thread only posts; the rows change here.
    PollWorkerCallbacks callbacks;
    callbacks.started = [this](const Lights& lights) {
        pollJob_.Post([this, lights] { ShowLights(linkLight_, heartbeatLight_, lights, context_.lights); });
    };
    callbacks.cycleEnded = [this](const CycleEnd& end, const ReceivedBytes& received) {
        pollJob_.Post([this, end, received] { OnCycleEnded(end, received); });
    };
    const JobLauncher launch = [this](std::function<void()> job) { return pollJob_.Start(std::move(job)); };
    if (const Result started = link_->StartPolling(launch, plan.plan, callbacks); !started) {
        context_.prompts.ShowMessage(started.message);
        ShowIdle();
        return;
    }
    polling_ = true;
    send_->setEnabled(false);
}

void VariableMonitorDialog::StopPolling() {
    polling_ = false;
    receive_->setText(QString::fromUtf8(ReceiveCaption));
    link_->RequestStop();
    send_->setEnabled(true);
    // A click now would act on a half-stopped window; it waits until the worker's end.
    pollJob_.Wait(QEventLoop::ExcludeUserInputEvents);
    ShowIdle();
}

void VariableMonitorDialog::OnCycleEnded(const CycleEnd& end, const ReceivedBytes& received) {
    state_.image.Take(received);
    ShowLights(linkLight_, heartbeatLight_, end.lights, context_.lights);
    // Two lines in the narrow column: the rate, then the silent exchanges.
    figures_->setText(Text(FormatLinkFigures(end.figures)).replace(QStringLiteral(", "), QStringLiteral("\n")));
    ShowValues(RefreshMapValues(Map(), state_.image));
    // The shown map had no variable left: the worker has ended by itself.
    if (end.stoppedEmpty && polling_) StopPolling();
}

// --- Sending -------------------------------------------------------------------

void VariableMonitorDialog::onSendValues() {
    if (polling_ || pollJob_.running()) return;
    std::array<std::string, MonitorRowsPerMap> fields;
    for (size_t i = 0; i < fields.size(); ++i) fields[i] = rows_[i].value->text().toStdString();
    // Every field is read whole and checked before a byte leaves.
    const SendPlan plan = PlanSendValues(Map(), fields);
    if (!plan.result) {
        context_.prompts.ShowMessage(plan.result.message);
        return;
    }
    link_->SetControllerId(static_cast<uint8_t>(identifier_->value()));
    const std::vector<WriteRow> rows = WriteRowsFor(plan.rows);
    bool answered = false;
    {
        BusyMessageWindow busy(this);
        answered = busy.Run([&](const std::function<void(QString)>&) { return link_->Write(rows); });
    }
    if (!answered) context_.prompts.ShowMessage(msg::WriteRowsFailed);
}

// --- Files -----------------------------------------------------------------------

void VariableMonitorDialog::ApplyAliases(const Association& association) {
    for (RowWidgets& row : rows_) {
        std::vector<std::string> items;
        for (int i = 0; i < row.variable->count(); ++i) items.push_back(row.variable->itemText(i).toStdString());
        ReplaceListItems(items, association.aliases);
        for (int i = 0; i < row.variable->count(); ++i) {
            const QString text = Text(items[static_cast<size_t>(i)]);
            if (row.variable->itemText(i) != text) row.variable->setItemText(i, text);
        }
    }
    programName_->setText(Text(association.programName));
}

void VariableMonitorDialog::onSave() { SaveMonitorSet(context_.prompts, state_, directory_); }

void VariableMonitorDialog::onLoad() {
    const std::optional<MonitorLoad> load = LoadMonitorSet(context_.prompts, state_, model_, directory_);
    if (!load) return;
    currentMap_ = 0;
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(0);
    }
    if (load->association) ApplyAliases(*load->association);
    programName_->setText(Text(ProgramDisplayName(state_.programPath)));
    ShowMap();
    PublishShownMap();
}

void VariableMonitorDialog::onAssociate() {
    const std::optional<Association> association = AssociateProgram(context_.prompts, state_, model_, directory_);
    if (!association) return;
    ApplyAliases(*association);
    ShowMap();
}

// --- Closing -----------------------------------------------------------------------

void VariableMonitorDialog::onGraphic() {
    context_.plcId = identifier_->value();
    done(Graphic);
}

void VariableMonitorDialog::done(int result) {
    if (!closed_) {
        closed_ = true;
        context_.plcId = identifier_->value();
        if (polling_) StopPolling();
        // A worker that ended by itself may still be delivering its last report.
        pollJob_.Wait(QEventLoop::ExcludeUserInputEvents);
        link_->Close();
    }
    QDialog::done(result);
}

bool RunVariableMonitor(QWidget* parent, const MonitorContext& context, MonitorState& state, ProgramModel& model,
                        const std::string& directory) {
    VariableMonitorDialog dialog(context, state, model, directory, parent);
    if (!dialog.OpenPort()) return false;
    return dialog.exec() == VariableMonitorDialog::Graphic;
}

}  // namespace velmorin
