#pragma once
// The main window: menus, toolbar, status bar and the live-monitor bar around
// the diagram view, and the routing of every command.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <memory>
#include <string>

#include "app/AppSettings.h"
#include "editor/doc_layout.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QToolBar;

namespace velmorin {

class BudgetIndicator;
class CrossReferenceDialog;
class FindDialog;
class FrameDialogs;
class HelpWindow;
class LiveMonitor;
class QtFrameDialogs;
class CVelmorinApp;
class CVelmorinDoc;
class CVelmorinView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CVelmorinApp& app, CVelmorinDoc& doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QAction* action(int commandId) const { return actions_.value(commandId, nullptr); }
    CVelmorinView* view() const { return view_; }
    QToolBar* toolBar() const { return toolBar_; }
    QToolBar* liveBar() const { return liveBar_; }
    QLabel* messagePane() const { return messagePane_; }
    // The live budget in the status bar.
    BudgetIndicator* budgetIndicator() const { return budget_; }
    QMenu* recentFileMenu() const { return fileMenu_; }
    // The two communication lights of the live-monitor bar.
    QLabel* liveIndicator(int index) const { return liveIndicators_[index]; }
    QPushButton* liveReceiveButton() const { return liveReceive_; }
    QPushButton* liveExitButton() const { return liveExit_; }
    LiveMonitor& liveMonitor() { return *liveMonitor_; }
    // Every dialog opens through this; tests put scripted dialogs in place,
    // nullptr brings back the real ones.
    FrameDialogs& dialogs() { return *dialogs_; }
    void SetDialogs(FrameDialogs* dialogs);
    HelpWindow* helpWindow() const;
    // The non-modal "Buscar" and "Referencias cruzadas" windows, once opened.
    FindDialog* findDialog() const;
    CrossReferenceDialog* crossReferenceDialog() const;
    // The last normal (neither maximized nor minimized) rectangle: frame corner, window size.
    QRect normalRect() const { return normalRect_; }
    void SetNormalRect(const QRect& rect) { normalRect_ = rect; }

    // Command handlers, one per command of the table.
    void onFileNew();
    void onFileOpen();
    void onFileSave();
    void onFileSaveAs();
    void onFilePrint();
    void onFilePrintPreview();
    void onFilePrintSetup();
    void onFileExportPdf();
    void onFileExportDoc();
    void onFileExportAliases();
    void onFileImportAliases();
    void onRecentFile(int index);
    void onAppExit();
    void onToolCommand(int commandId);
    void RunCompileCommand();
    void onSend();
    void onExtract();
    void onMonitor();
    void onCommands();
    void onSerialPort();
    void onViewToolBar();
    void onViewStatusBar();
    void onErrorList();
    // A click on the status bar's budget: its diagnostics in the error list.
    void onBudgetDiagnostics();
    void onHelpTopics();
    void onContextHelp();
    void onAppAbout();
    void onEditUndo();
    void onEditRedo();
    void onEditCopy();
    void onEditCut();
    void onEditPaste();
    void onFind();
    void onFindNext();
    void onFindPrevious();
    void onBlockInsert();
    void onBlockDelete();
    void onBlockMoveUp();
    void onBlockMoveDown();
    void onCrossReference();
    void onZoomIn();
    void onZoomOut();
    void onZoomReset();
    void onLiveReceive();
    void onLiveExit();
    // The variable monitor closed through "Gráfico".
    void onEnterLiveMode();

    // Live mode's look: the live bar instead of the toolbar, and every menu
    // and command of the tables out of use (their keys too), until it ends,
    // when exactly what it disabled comes back.
    void ShowLive(bool live);

    void UpdateTitle();
    void RebuildRecentFileMenu();
    void SyncToolChecks();
    // "Deshacer" and "Rehacer" enabled as the view's history allows.
    void UpdateEditActions();

signals:
    // The close was accepted; the placement was captured just before.
    void closed(const velmorin::WindowPlacement& placement);
    // The window has been painted on the screen for the first time.
    void firstPainted();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateActions();
    void BindKeys(QAction* action, const char* keys);
    // Send, and the command panel after a successful send.
    void SendThenCommands();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void CreateLiveBar();
    void CreateBudgetIndicator();
    void ConnectDocument();
    void TrackNormalRect();
    QPrinter& Printer();
    // The word of "Buscar" again, forward or backward; the box when there is none yet.
    void FindAgain(bool forward);
    // What heads a printout of the document now: its title and today's date.
    PrintHeading Heading() const;

    CVelmorinApp& app_;
    CVelmorinDoc& doc_;
    CVelmorinView* view_ = nullptr;
    QHash<int, QAction*> actions_;
    QList<QMenu*> menus_;  // in the menu table's order
    QList<QAction*> liveDisabled_;
    QList<QAction*> recentActions_;
    QMenu* fileMenu_ = nullptr;
    QAction* recentAnchor_ = nullptr;  // the separator after the recent files
    QToolBar* toolBar_ = nullptr;
    QToolBar* liveBar_ = nullptr;
    QPushButton* liveReceive_ = nullptr;
    QPushButton* liveExit_ = nullptr;
    QLabel* liveIndicators_[2] = {nullptr, nullptr};
    QLabel* messagePane_ = nullptr;
    QLabel* lockIndicators_[3] = {nullptr, nullptr, nullptr};
    BudgetIndicator* budget_ = nullptr;
    QPointer<HelpWindow> helpWindow_;
    QPointer<FindDialog> findDialog_;
    QPointer<CrossReferenceDialog> crossReference_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QtFrameDialogs> qtDialogs_;
    std::unique_ptr<LiveMonitor> liveMonitor_;
    FrameDialogs* dialogs_ = nullptr;
    QRect normalRect_;
    bool painted_ = false;
};

}  // namespace velmorin
