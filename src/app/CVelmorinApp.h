#pragma once
// The application object: starts the program in its fixed order, owns the
// values every window shares (settings, fonts, indicator images, start-up
// directory, the last compilation) and writes the settings back once at exit.
#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QTranslator>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/AppSettings.h"
#include "app/QtPrompts.h"
#include "compiler/compile_outputs.h"
#include "link/clock.h"
#include "link/controller_image.h"
#include "link/monitor_set.h"
#include "link/termios_link.h"
#include "link/ui/MonitorContext.h"
#include "model/recent_files.h"
#include "ui/Fonts.h"
#include "ui/IndicatorLights.h"

namespace velmorin {

class CMainFrame;
class CVelmorinDoc;

struct StartOptions {
    QString sourceFile;  // opened instead of a new document
    bool splash = true;  // the about box for three seconds after the window shows
};

class CVelmorinApp : public QObject {
    Q_OBJECT
public:
    explicit CVelmorinApp(QObject* parent = nullptr);
    ~CVelmorinApp() override;

    // False when the program must end (the file named on the command line
    // could not be loaded).
    bool InitInstance(const StartOptions& options);
    // Writes the settings; only the first call after a successful start does.
    void ExitInstance();
    bool settingsWritten() const { return settingsWritten_; }

    AppSettings& settings() { return settings_; }
    const WindowPlacement& placement() const { return placement_; }
    // Made at the first use, for the primary screen.
    const QFont& font(int index) const;
    const QPixmap& indicator(Indicator which) const { return indicators_.Of(which); }
    const QString& startDirectory() const { return startDirectory_; }
    // The last compile command's run: its diagnostics are what the error
    // list shows, its final image what the send dialog offers. Kept until the
    // next compilation; a new or loaded document only forgets the diagnostics.
    const CompileRun& lastCompile() const { return lastCompile_; }
    // Takes a compile command's run and returns what it came to. A command
    // that compiled nothing (an empty diagram, a refused output) leaves no
    // image to send, but the list keeps what the last compilation found.
    CompileResult KeepCompilation(CompileRun run);
    // The password of the transfer dialogs: in memory only, 0 at start-up.
    uint16_t transferPassword() const { return transferPassword_; }
    void SetTransferPassword(uint16_t password) { transferPassword_ = password; }
    // 0 until the about box has closed once: its first showing is the splash.
    int splashCounter() const { return splashCounter_; }
    void SetSplashCounter(int counter) { splashCounter_ = counter; }

    const RecentFileList& recentFiles() const { return recentFiles_; }
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

    // Every dialog, question and message goes through these; nullptr brings
    // back the real dialogs.
    Prompts& prompts() { return *prompts_; }
    void SetPrompts(Prompts* prompts) { prompts_ = prompts ? prompts : &qtPrompts_; }

    // The variable monitor's maps, image and associated program: kept while
    // the dialog is closed, cleared by a new document.
    MonitorState& monitorState() { return monitorState_; }
    // The live diagram's polled bytes: zero at start, kept between live runs.
    LiveImage& liveImage() { return liveImage_; }
    // The device each Com names in the settings ("Puerto Serie"); empty
    // names take the default device.
    std::array<std::string, PortCount> ConfiguredPortDevices() const { return settings_.portDevices; }
    // The controller link, its devices resolved now (environment, settings,
    // defaults), for a job that opens a port.
    PlcLink& ControllerLink();
    Clock& clock() { return clock_; }
    // What a monitor window takes for one job: the link, "CommPort",
    // "PlcId", the indicator pictures and the prompts.
    MonitorContext MonitorLinkContext();

    CVelmorinDoc& document() { return *doc_; }
    CMainFrame* frame() const { return frame_.get(); }

signals:
    void recentFilesChanged();

private:
    void LoadTranslations();
    void OnFrameClosed(const WindowPlacement& placement);

    AppSettings settings_;
    WindowPlacement placement_;
    mutable std::array<std::optional<QFont>, FontCount> fonts_;
    LightPictures indicators_;
    QString startDirectory_;
    CompileRun lastCompile_;
    uint16_t transferPassword_ = 0;
    MonitorState monitorState_;
    LiveImage liveImage_;
    std::unique_ptr<TermiosLink> link_;
    SystemClock clock_;
    int splashCounter_ = 0;
    RecentFileList recentFiles_;
    QTranslator qtTranslator_;
    QtPrompts qtPrompts_;
    Prompts* prompts_ = &qtPrompts_;
    std::unique_ptr<CVelmorinDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    bool started_ = false;
    bool settingsWritten_ = false;
    bool placementCaptured_ = false;
};

}  // namespace velmorin
