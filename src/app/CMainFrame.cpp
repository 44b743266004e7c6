#include "app/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QWhatsThis>

#include "app/CVelmorinApp.h"
#include "app/CVelmorinDoc.h"
#include "app/CommandTable.h"
#include "app/HelpWindow.h"
#include "app/QtFrameDialogs.h"
#include "compiler/ui/BudgetIndicator.h"
#include "editor/alias_commands.h"
#include "editor/doc_messages.h"
#include "editor/ui/CVelmorinView.h"
#include "editor/ui/CrossReferenceDialog.h"
#include "editor/ui/DiagramPrinter.h"
#include "editor/ui/FindDialog.h"
#include "editor/ui/DocumentPrinter.h"
#include "link/ui/LiveMonitor.h"
#include "model/tool_state.h"
#include "ui/Resources.h"

namespace velmorin {

namespace {

// A status-bar note naming a file by its name.
QString StatusNote(const char* format, const std::string& path) {
    return QString::fromUtf8(format).replace(QStringLiteral("%s"), QFileInfo(QString::fromStdString(path)).fileName());
}

QString MenuPath(const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(u'&', QStringLiteral("&&"));
    return shown;
}

}  // namespace

CMainFrame::CMainFrame(CVelmorinApp& app, CVelmorinDoc& doc, QWidget* parent)
    : QMainWindow(parent), app_(app), doc_(doc) {
    InitAppResources();
    setObjectName("mainFrame");
    // The window manager's icon is drawn in six sizes, none of them inside
    // the window: it comes once the window is on the screen.
    connect(
        this, &CMainFrame::firstPainted, this, [this] { setWindowIcon(QIcon(":/icons/velmorin.svg")); },
        Qt::SingleShotConnection);
    view_ = new CVelmorinView(doc_.model(), this);
    setCentralWidget(view_);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    CreateLiveBar();
    view_->toolState().Clear();
    SyncToolChecks();

    liveMonitor_ = std::make_unique<LiveMonitor>(
        LiveMonitor::FrameParts{[this](bool live) { ShowLive(live); }, liveBar_, liveReceive_, liveIndicators_[0],
                                liveIndicators_[1], view_},
        app_.liveImage());
    qtDialogs_ = std::make_unique<QtFrameDialogs>(app_, *this);
    dialogs_ = qtDialogs_.get();
    view_->SetServices(
        {[this]() -> FrameDialogs& { return *dialogs_; }, [this]() -> Prompts& { return app_.prompts(); }});
    // The scale the user left the diagram at, kept for the next start.
    view_->SetZoom(ViewZoom(app_.settings().zoomPercent));
    app_.settings().zoomPercent = view_->zoom().percent();
    connect(view_, &CVelmorinView::zoomChanged, this, [this](int percent) {
        app_.settings().zoomPercent = percent;
        statusBar()->showMessage(QStringLiteral("Zoom %1%").arg(percent), 2000);
    });
    ConnectDocument();
    CreateBudgetIndicator();
    UpdateEditActions();
    view_->setFocus();
    RebuildRecentFileMenu();
    UpdateTitle();
}

CMainFrame::~CMainFrame() = default;

HelpWindow* CMainFrame::helpWindow() const { return helpWindow_.data(); }
FindDialog* CMainFrame::findDialog() const { return findDialog_.data(); }
CrossReferenceDialog* CMainFrame::crossReferenceDialog() const { return crossReference_.data(); }

void CMainFrame::SetDialogs(FrameDialogs* dialogs) { dialogs_ = dialogs ? dialogs : qtDialogs_.get(); }

void CMainFrame::CreateActions() {
    for (const CommandDef& def : CommandTable) {
        auto* action = new QAction(this);
        const QString tip = PromptToolTip(def.prompt);
        const QString status = PromptStatusText(def.prompt);
        action->setText(def.caption ? QString::fromUtf8(def.caption) : tip);
        action->setData(def.id);
        action->setObjectName(QStringLiteral("command%1").arg(def.id));
        if (def.icon) action->setIcon(QIcon(QString::fromLatin1(def.icon)));
        BindKeys(action, def.keys);
        action->setStatusTip(status);
        action->setToolTip(tip.isEmpty() ? status : tip);
        action->setWhatsThis(status);
        action->setCheckable(def.checkable);
        if (def.handler) {
            const CommandHandler handler = def.handler;
            connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        } else {
            const int id = def.id;
            connect(action, &QAction::triggered, this, [this, id] { onToolCommand(id); });
        }
        // Also on the window itself, so that the keys work whatever bar is shown.
        addAction(action);
        actions_.insert(def.id, action);
    }
}

// The keys live on the window, not on the action: a menu shows only the key
// text its caption carries, and "Abrir...\tCtrl+A" answers to Ctrl+O too.
void CMainFrame::BindKeys(QAction* action, const char* keys) {
    if (!keys) return;
    for (const QKeySequence& key : QKeySequence::listFromString(QString::fromLatin1(keys))) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setObjectName(QStringLiteral("key%1").arg(key.toString(QKeySequence::PortableText)));
        connect(shortcut, &QShortcut::activated, action, &QAction::trigger);
    }
}

void CMainFrame::CreateMenus() {
    for (const MenuDef& menuDef : MenuTable) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuDef.title));
        menus_ << menu;
        bool anchorNext = false;
        for (const int id : menuDef.items) {
            QAction* added = nullptr;
            if (id == cmd::Separator) {
                added = menu->addSeparator();
            } else if (id == cmd::RecentFiles) {
                fileMenu_ = menu;
                anchorNext = true;
                continue;
            } else {
                added = actions_.value(id);
                menu->addAction(added);
            }
            if (anchorNext) {
                recentAnchor_ = added;
                anchorNext = false;
            }
        }
    }
}

void CMainFrame::CreateToolBar() {
    toolBar_ = addToolBar(QString::fromUtf8("Barra de herramientas"));
    toolBar_->setObjectName("mainToolBar");
    toolBar_->setIconSize(QSize(16, 16));
    for (const int id : ToolBarLayout) {
        if (id == cmd::Separator) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(actions_.value(id));
        }
    }
    actions_.value(cmd::ViewToolBar)->setChecked(true);
    connect(toolBar_, &QToolBar::visibilityChanged, this, [this](bool visible) {
        // Hiding the whole window also hides the bar; only a user's choice counts.
        if (isVisible()) actions_.value(cmd::ViewToolBar)->setChecked(visible);
    });
}

void CMainFrame::CreateStatusBar() {
    messagePane_ = new QLabel(QString::fromUtf8(IdleText), this);
    messagePane_->setObjectName("messagePane");
    // A long prompt is cut where the pane ends; it never pushes the lock
    // indicators and the live budget off the bar.
    messagePane_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(messagePane_, 1);
    const char* names[3] = {"MAY", "NUM", "DESP"};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromLatin1(names[i]), this);
        label->setObjectName(QStringLiteral("lockIndicator%1").arg(names[i]));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("DESP")) + 8);
        // The lock states cannot be read portably; the labels stay greyed.
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
        lockIndicators_[i] = label;
    }
    actions_.value(cmd::ViewStatusBar)->setChecked(true);
}

void CMainFrame::CreateLiveBar() {
    liveBar_ = new QToolBar(QString::fromUtf8("Monitor en vivo"), this);
    liveBar_->setObjectName("liveBar");
    liveBar_->setMovable(false);
    liveBar_->toggleViewAction()->setVisible(false);
    liveReceive_ = new QPushButton(QString::fromUtf8("Recibir"), liveBar_);
    liveReceive_->setObjectName("liveReceive");
    liveBar_->addWidget(liveReceive_);
    for (int i = 0; i < 2; ++i) {
        auto* light = new QLabel(liveBar_);
        light->setObjectName(QStringLiteral("liveIndicator%1").arg(1121 + i));
        light->setFixedSize(9, 9);
        liveBar_->addSeparator();
        liveBar_->addWidget(light);
        liveIndicators_[i] = light;
    }
    liveBar_->addSeparator();
    liveExit_ = new QPushButton(QString::fromUtf8("Salir"), liveBar_);
    liveExit_->setObjectName("liveExit");
    liveBar_->addWidget(liveExit_);
    addToolBar(Qt::TopToolBarArea, liveBar_);
    liveBar_->hide();
    connect(liveReceive_, &QPushButton::clicked, this, &CMainFrame::onLiveReceive);
    connect(liveExit_, &QPushButton::clicked, this, &CMainFrame::onLiveExit);
}

void CMainFrame::CreateBudgetIndicator() {
    budget_ = new BudgetIndicator(doc_.model(), this);
    statusBar()->addPermanentWidget(budget_);
    // A new document resets the view first, a loaded one asks to be drawn again.
    connect(&doc_, &CVelmorinDoc::viewResetRequested, budget_, &BudgetIndicator::Schedule);
    connect(&doc_, &CVelmorinDoc::redrawRequested, budget_, &BudgetIndicator::Schedule);
    connect(view_, &CVelmorinView::diagramChanged, budget_, &BudgetIndicator::Schedule);
    connect(budget_, &BudgetIndicator::diagnosticsRequested, this, &CMainFrame::onBudgetDiagnostics);
}

void CMainFrame::ConnectDocument() {
    connect(&doc_, &CVelmorinDoc::titleChanged, this, &CMainFrame::UpdateTitle);
    connect(&doc_, &CVelmorinDoc::viewResetRequested, view_, &CVelmorinView::InitialUpdate);
    connect(&doc_, &CVelmorinDoc::saved, view_, &CVelmorinView::MarkSaved);
    connect(&doc_, &CVelmorinDoc::openedUnsaved, view_, &CVelmorinView::MarkUnsaved);
    connect(view_, &CVelmorinView::modifiedChanged, &doc_, &CVelmorinDoc::SetModified);
    connect(view_, &CVelmorinView::historyChanged, this, &CMainFrame::UpdateEditActions);
    connect(&doc_, &CVelmorinDoc::redrawRequested, view_->viewport(), qOverload<>(&QWidget::update));
    connect(&doc_, &CVelmorinDoc::markedCellCleared, view_, [this] { view_->MarkCell({}); });
    connect(&app_, &CVelmorinApp::recentFilesChanged, this, &CMainFrame::RebuildRecentFileMenu);
    connect(view_, &CVelmorinView::toolChanged, this, &CMainFrame::SyncToolChecks);
    // A search that went round says so for a while, over the prompts.
    connect(view_, &CVelmorinView::statusNote, this,
            [this](const QString& note) { statusBar()->showMessage(note, 5000); });
}

void CMainFrame::ShowLive(bool live) {
    for (QMenu* menu : std::as_const(menus_)) menu->menuAction()->setEnabled(!live);
    // Greyed menus alone would leave the keys working: a disabled command ignores its keys.
    if (live) {
        liveDisabled_.clear();
        for (const CommandDef& command : CommandTable) {
            QAction* action = actions_.value(command.id);
            if (!action || !action->isEnabled()) continue;
            action->setEnabled(false);
            liveDisabled_ << action;
        }
    } else {
        for (QAction* action : std::as_const(liveDisabled_)) action->setEnabled(true);
        liveDisabled_.clear();
    }
    toolBar_->setVisible(!live);
    liveBar_->setVisible(live);
}

void CMainFrame::UpdateTitle() { setWindowTitle(doc_.title() + QStringLiteral(" - ") + CVelmorinDoc::WindowTitle()); }

void CMainFrame::RebuildRecentFileMenu() {
    if (!fileMenu_) return;
    for (QAction* old : recentActions_) {
        fileMenu_->removeAction(old);
        delete old;
    }
    recentActions_.clear();
    const auto& entries = app_.recentFiles().entries();
    if (entries.empty()) {
        auto* placeholder = new QAction(QString::fromUtf8(RecentFilePlaceholder), this);
        placeholder->setData(cmd::RecentFile1);
        placeholder->setEnabled(false);
        recentActions_ << placeholder;
    }
    for (int i = 0; i < static_cast<int>(entries.size()) && i < RecentFileCount; ++i) {
        const QString path = QString::fromStdString(entries[i]);
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(MenuPath(path)), this);
        action->setData(cmd::RecentFile1 + i);
        action->setStatusTip(QString::fromUtf8(RecentFilePrompt));
        action->setWhatsThis(QString::fromUtf8(RecentFilePrompt));
        connect(action, &QAction::triggered, this, [this, i] { onRecentFile(i); });
        recentActions_ << action;
    }
    if (recentAnchor_) {
        fileMenu_->insertActions(recentAnchor_, recentActions_);
    } else {
        fileMenu_->addActions(recentActions_);
    }
}

void CMainFrame::SyncToolChecks() {
    const ToolState& tools = view_->toolState();
    for (const CommandDef& command : CommandTable) {
        if (command.tool == NotATool) continue;
        if (QAction* action = actions_.value(command.id)) action->setChecked(tools.checked(command.tool));
    }
}

void CMainFrame::UpdateEditActions() {
    actions_.value(cmd::EditUndo)->setEnabled(view_->CanUndo());
    actions_.value(cmd::EditRedo)->setEnabled(view_->CanRedo());
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::Paint && !painted_) {
        painted_ = true;
        // Queued: the whole window is painted and on the screen by then.
        QMetaObject::invokeMethod(this, &CMainFrame::firstPainted, Qt::QueuedConnection);
    }
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        messagePane_->setText(tip.isEmpty() ? QString::fromUtf8(IdleText) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!doc_.ConfirmDiscard()) {
        event->ignore();
        return;
    }
    // A live run ends with the window: its worker stopped, its port closed.
    liveMonitor_->Leave();
    const WindowPlacement placement = CaptureWindowPlacement(*this, normalRect_, app_.placement());
    event->accept();
    emit closed(placement);
}

void CMainFrame::TrackNormalRect() {
    if (isVisible() && !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        normalRect_ = QRect(pos(), size());
    }
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    TrackNormalRect();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    TrackNormalRect();
}

// --- File menu -----------------------------------------------------------

void CMainFrame::onFileNew() { doc_.NewDocument(); }
void CMainFrame::onFileOpen() { doc_.OpenDocument(); }
void CMainFrame::onFileSave() { doc_.SaveDocument(); }
void CMainFrame::onFileSaveAs() { doc_.SaveDocumentAs(); }

QPrinter& CMainFrame::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

PrintHeading CMainFrame::Heading() const { return TodaysHeading(doc_.title().toStdString()); }

void CMainFrame::onFilePrint() {
    QPrintDialog dialog(&Printer(), this);
    if (dialog.exec() == QDialog::Accepted) view_->PrintDocument(Printer(), Heading());
}

void CMainFrame::onFilePrintPreview() {
    QPrintPreviewDialog dialog(&Printer(), this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { view_->PrintDocument(*printer, Heading()); });
    dialog.exec();
}

void CMainFrame::onFilePrintSetup() {
    QPageSetupDialog dialog(&Printer(), this);
    dialog.exec();
}

void CMainFrame::onFileExportPdf() {
    RunPdfExport(app_.prompts(), doc_.model(), view_->cellMetrics(), Heading(), doc_.core().startDirectory(),
                 doc_.core().currentPath());
}

void CMainFrame::onFileExportDoc() {
    // The budget's measure and the documentation's compilation read the same model.
    budget_->Flush();
    RunDocumentationExport(app_.prompts(), doc_.model(), view_->cellMetrics(), Heading(), doc_.core().startDirectory(),
                           doc_.core().currentPath());
}

void CMainFrame::onFileExportAliases() {
    const std::optional<std::string> path =
        RunAliasExport(app_.prompts(), doc_.model(), doc_.core().startDirectory(), doc_.core().currentPath());
    if (path) statusBar()->showMessage(StatusNote(msg::AliasesExported, *path));
}

void CMainFrame::onFileImportAliases() {
    const std::optional<AliasTableFile> table = AskAliasTable(app_.prompts(), doc_.core().startDirectory());
    if (!table || !view_->ImportAliases(table->text)) return;
    statusBar()->showMessage(StatusNote(msg::AliasesImported, table->path));
    // A source file keeps only the names of the operands its program uses.
    if (const std::string note = AliasesNotKeptNote(doc_.model()); !note.empty())
        app_.prompts().ShowInformation(note, msg::ImportAliasesTitle);
}

void CMainFrame::onRecentFile(int index) {
    const auto& entries = app_.recentFiles().entries();
    if (index < 0 || index >= static_cast<int>(entries.size())) return;
    // A copy: a successful load reorders the list.
    const QString path = QString::fromStdString(entries[index]);
    doc_.LoadDocument(path);
}

void CMainFrame::onAppExit() { close(); }

// --- Elements ------------------------------------------------------------

void CMainFrame::onToolCommand(int commandId) {
    const CommandDef* command = FindCommand(commandId);
    if (command && command->tool != NotATool) view_->toolState().ToggleTool(command->tool);
    // The check marks, and the palette's pressed button with them.
    view_->NotifyToolChanged();
}

void CMainFrame::onEditUndo() { view_->Undo(); }
void CMainFrame::onEditRedo() { view_->Redo(); }
void CMainFrame::onEditCopy() { view_->CopySelection(); }
void CMainFrame::onEditCut() { view_->CutSelection(); }
void CMainFrame::onEditPaste() { view_->Paste(); }

void CMainFrame::onFind() {
    if (!findDialog_) {
        findDialog_ = new FindDialog(this);
        connect(findDialog_, &FindDialog::findRequested, view_, &CVelmorinView::Find);
    }
    findDialog_->Ask();
}

void CMainFrame::FindAgain(bool forward) {
    if (!findDialog_ || findDialog_->word().trimmed().isEmpty()) {
        onFind();
        return;
    }
    view_->Find(findDialog_->word(), forward);
}

void CMainFrame::onFindNext() { FindAgain(true); }
void CMainFrame::onFindPrevious() { FindAgain(false); }

void CMainFrame::onBlockInsert() { view_->EditBlock(BlockEdit::Insert); }
void CMainFrame::onBlockDelete() { view_->EditBlock(BlockEdit::Delete); }
void CMainFrame::onBlockMoveUp() { view_->EditBlock(BlockEdit::MoveUp); }
void CMainFrame::onBlockMoveDown() { view_->EditBlock(BlockEdit::MoveDown); }

// --- Tools ---------------------------------------------------------------

void CMainFrame::RunCompileCommand() {
    if (doc_.currentPath().isEmpty()) {
        doc_.SaveDocument();
        if (doc_.currentPath().isEmpty()) return;
    }
    // The worker compiles the document's own model: a budget measure must not read it meanwhile.
    budget_->Flush();
    // The diagram in memory is compiled; the file is not saved first.
    const CompileFollowUp next = FollowUpAfter(dialogs_->Compile(doc_.currentPath().toStdString()));
    if (next.errorList) dialogs_->ErrorList();
    if (next.send) SendThenCommands();
}

void CMainFrame::SendThenCommands() {
    if (dialogs_->SendProgram()) dialogs_->CommandPanel();
}

void CMainFrame::onSend() { SendThenCommands(); }

void CMainFrame::onExtract() {
    if (const std::optional<CodeImage> received = dialogs_->ExtractProgram()) doc_.OfferExtractedDiagram(*received);
}

void CMainFrame::onMonitor() {
    if (dialogs_->VariableMonitor() == MonitorClose::Graphic) onEnterLiveMode();
}

void CMainFrame::onCommands() { dialogs_->CommandPanel(); }

void CMainFrame::onSerialPort() {
    if (const std::optional<int> port = dialogs_->SerialPort(app_.settings().commPort))
        app_.settings().commPort = *port;
}

// --- View ----------------------------------------------------------------

void CMainFrame::onViewToolBar() { toolBar_->setVisible(actions_.value(cmd::ViewToolBar)->isChecked()); }

void CMainFrame::onViewStatusBar() { statusBar()->setVisible(actions_.value(cmd::ViewStatusBar)->isChecked()); }

void CMainFrame::onErrorList() { dialogs_->ErrorList(); }

void CMainFrame::onCrossReference() {
    if (!crossReference_) {
        crossReference_ = new CrossReferenceDialog(doc_.model(), *view_, this);
        // The same changes as the live budget measures again.
        connect(&doc_, &CVelmorinDoc::viewResetRequested, crossReference_, &CrossReferenceDialog::Schedule);
        connect(&doc_, &CVelmorinDoc::redrawRequested, crossReference_, &CrossReferenceDialog::Schedule);
        connect(view_, &CVelmorinView::diagramChanged, crossReference_, &CrossReferenceDialog::Schedule);
    }
    crossReference_->show();
    crossReference_->raise();
    crossReference_->activateWindow();
}

void CMainFrame::onZoomIn() { view_->SetZoom(view_->zoom().Stepped(1)); }
void CMainFrame::onZoomOut() { view_->SetZoom(view_->zoom().Stepped(-1)); }
void CMainFrame::onZoomReset() { view_->SetZoom(ViewZoom()); }

void CMainFrame::onBudgetDiagnostics() {
    dialogs_->CurrentDiagnostics(budget_->budget().diagnostics, budget_->budget().observations);
}

// --- Help ----------------------------------------------------------------

void CMainFrame::onHelpTopics() {
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void CMainFrame::onContextHelp() { QWhatsThis::enterWhatsThisMode(); }

void CMainFrame::onAppAbout() { app_.SetSplashCounter(dialogs_->About(app_.splashCounter())); }

// --- Live-monitor bar ----------------------------------------------------

void CMainFrame::onLiveReceive() { liveMonitor_->ToggleReceive(); }

void CMainFrame::onLiveExit() {
    if (!liveMonitor_->active()) return;
    liveMonitor_->Leave();
    // Back to the variable monitor, which may hand over to live mode again.
    onMonitor();
}

void CMainFrame::onEnterLiveMode() { liveMonitor_->Enter(app_.MonitorLinkContext()); }

}  // namespace velmorin
