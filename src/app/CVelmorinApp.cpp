#include "app/CVelmorinApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>

#include <algorithm>

#include "app/CMainFrame.h"
#include "app/CVelmorinDoc.h"
#include "link/port_devices.h"
#include "ui/Resources.h"

namespace velmorin {

namespace {

QSettings OpenStore() { return QSettings(SettingsOrganisation, SettingsApplication); }

}  // namespace

CVelmorinApp::CVelmorinApp(QObject* parent) : QObject(parent) {}

CVelmorinApp::~CVelmorinApp() = default;

const QFont& CVelmorinApp::font(int index) const {
    std::optional<QFont>& font = fonts_[static_cast<size_t>(std::clamp(index, 0, FontCount - 1))];
    if (!font) font = MakeScreenFont(index);
    return *font;
}

CompileResult CVelmorinApp::KeepCompilation(CompileRun run) {
    const CompileResult result = run.result;
    if (run.output.nothingToCompile)
        lastCompile_.output.finalImage = false;
    else
        lastCompile_ = std::move(run);
    return result;
}

PlcLink& CVelmorinApp::ControllerLink() {
    const std::array<std::string, PortCount> devices =
        ResolvePortDevices(ConfiguredPortDevices(), ProcessEnvironment());
    if (!link_) link_ = std::make_unique<TermiosLink>(devices);
    for (int port = 0; port < PortCount; ++port) link_->SetDevice(port, devices[port]);
    return *link_;
}

MonitorContext CVelmorinApp::MonitorLinkContext() {
    return {ControllerLink(), clock_, settings_.commPort, settings_.plcId, prompts(), indicators_};
}

void CVelmorinApp::AddRecentFile(const QString& path) {
    recentFiles_.Add(path.toStdString());
    emit recentFilesChanged();
}

void CVelmorinApp::RemoveRecentFile(const QString& path) {
    recentFiles_.Remove(path.toStdString());
    emit recentFilesChanged();
}

// Qt's own texts (standard buttons, file dialogs, the overwrite question,
// printing), and the dates, sizes and file types it writes, in the
// program's language, whatever the user's locale.
void CVelmorinApp::LoadTranslations() {
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
    if (!qtTranslator_.isEmpty()) return;
    if (qtTranslator_.load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTranslator_);
    }
}

bool CVelmorinApp::InitInstance(const StartOptions& options) {
    InitAppResources();
    // Qt's rich text is part of the widgets library, so there is nothing to load first.
    LoadTranslations();
    QSettings store = OpenStore();
    std::vector<std::string> recent;
    for (const QString& path : ReadRecentFiles(store)) recent.push_back(path.toStdString());
    recentFiles_.Assign(recent);

    settings_ = ReadAppSettings(store);

    doc_ = std::make_unique<CVelmorinDoc>(*this);
    frame_ = std::make_unique<CMainFrame>(*this, *doc_);
    qtPrompts_.SetParent(frame_.get());
    connect(frame_.get(), &CMainFrame::closed, this, &CVelmorinApp::OnFrameClosed);
    connect(doc_.get(), &CVelmorinDoc::diagnosticsCleared, this, [this] {
        lastCompile_.output.diagnostics.clear();
        lastCompile_.output.errorCount = 0;
        lastCompile_.output.warningCount = 0;
    });
    connect(doc_.get(), &CVelmorinDoc::monitorCleared, this, [this] { monitorState_.Clear(); });
    const bool opened = options.sourceFile.isEmpty()
                            ? doc_->NewDocument()
                            : doc_->LoadDocument(QFileInfo(options.sourceFile).absoluteFilePath());
    if (!opened) return false;

    placement_ = ReadWindowPlacement(store);
    frame_->SetNormalRect(PlacementRect(placement_));
    ApplyWindowPlacement(*frame_, placement_);

    indicators_ = LoadLightPictures();

    startDirectory_ = QDir::currentPath();
    doc_->core().SetStartDirectory(startDirectory_.toStdString());
    doc_->SetModified(false);
    started_ = true;

    // The splash waits for the window to be on the screen: building and
    // showing it first would only keep the user waiting for the window.
    if (options.splash)
        connect(
            frame_.get(), &CMainFrame::firstPainted, frame_.get(), [this] { frame_->onAppAbout(); },
            Qt::SingleShotConnection);
    return true;
}

void CVelmorinApp::OnFrameClosed(const WindowPlacement& placement) {
    placement_ = placement;
    placementCaptured_ = true;
    ExitInstance();
}

void CVelmorinApp::ExitInstance() {
    if (!started_ || settingsWritten_) return;
    settingsWritten_ = true;
    // Ended without the window being closed (the session went away): take the placement now.
    if (!placementCaptured_ && frame_) placement_ = CaptureWindowPlacement(*frame_, frame_->normalRect(), placement_);
    QStringList recent;
    for (const auto& path : recentFiles_.entries()) recent << QString::fromStdString(path);
    QSettings store = OpenStore();
    WriteAppSettings(store, settings_, placement_, recent);
}

}  // namespace velmorin
