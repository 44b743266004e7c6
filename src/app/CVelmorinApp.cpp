#include "app/CVelmorinApp.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QSvgRenderer>
#include <QTimer>

#include <cmath>

#include "app/AppResources.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinDoc.h"
#include "link/port_devices.h"

namespace velmorin {

const std::array<FontDef, 5> FontTable = {{
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 40, 12, 700, false},
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 40, 12, 400, false},
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 40, 10, 700, false},
    {"Times New Roman", "Liberation Serif,DejaVu Serif", 36, 8, 400, false},
    // The about box's version line: a dialog control measures in pixels.
    {"MS Sans Serif", "Liberation Sans,DejaVu Sans", 20, 8, 800, true},
}};

namespace {

constexpr const char* IndicatorPaths[3] = {":/indicators/green.svg", ":/indicators/red.svg", ":/indicators/dark.svg"};
constexpr int IndicatorSize = 9;

QSettings OpenStore() { return QSettings(SettingsOrganisation, SettingsApplication); }

}  // namespace

CVelmorinApp::CVelmorinApp(QObject* parent) : QObject(parent) {}

CVelmorinApp::~CVelmorinApp() = default;

QFont CVelmorinApp::MakeFont(const FontDef& def, int dpiX, int dpiY) {
    QStringList families{QString::fromLatin1(def.face)};
    families += QString::fromLatin1(def.fallbacks).split(u',', Qt::SkipEmptyParts);
    QFont font;
    font.setFamilies(families);
    font.setWeight(static_cast<QFont::Weight>(def.weight));
    // The height is the whole character cell, ascent plus descent; the width
    // the average character width. Qt sizes by em and stretch, so measure
    // once and correct both.
    const double cellPixels = def.dialogPixels ? def.height : def.height * dpiY / 254.0;
    const double widthPixels = def.dialogPixels ? def.width : def.width * dpiX / 254.0;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellPixels))));
    const QFontMetricsF first(font);
    if (first.height() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellPixels * cellPixels / first.height()))));
    }
    const QFontMetricsF sized(font);
    double average = sized.averageCharWidth();
    if (average <= 0) average = sized.horizontalAdvance(u'x');
    if (average > 0) {
        font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * widthPixels / average)), 1, 4000));
    }
    return font;
}

void CVelmorinApp::CreateFonts() {
    int dpiX = 96, dpiY = 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        dpiX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
        dpiY = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
    }
    for (int i = 0; i < FontCount; ++i) fonts_[i] = MakeFont(FontTable[i], dpiX, dpiY);
}

void CVelmorinApp::LoadIndicators() {
    for (int i = 0; i < 3; ++i) {
        QPixmap pixmap(IndicatorSize, IndicatorSize);
        pixmap.fill(Qt::transparent);
        QSvgRenderer renderer(QString::fromLatin1(IndicatorPaths[i]));
        if (renderer.isValid()) {
            QPainter painter(&pixmap);
            renderer.render(&painter);
        }
        indicators_[i] = pixmap;
    }
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
    const LightPictures lights{indicators_[IndicatorGreen], indicators_[IndicatorRed], indicators_[IndicatorDark]};
    return {ControllerLink(), clock_, settings_.commPort, settings_.plcId, prompts(), lights};
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
    CreateFonts();

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

    LoadIndicators();

    startDirectory_ = QDir::currentPath();
    doc_->core().SetStartDirectory(startDirectory_.toStdString());
    doc_->SetModified(false);
    started_ = true;

    if (options.splash) QTimer::singleShot(0, frame_.get(), [this] { frame_->onAppAbout(); });
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
