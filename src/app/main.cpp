// velmorin [FILE.ldr]
// velmorin --screenshot FILE.png [FILE.ldr]   the main window as a picture
// velmorin --screenshot-about FILE.png        the about box as a picture
// velmorin --export-pdf OUT.pdf FILE.ldr      the printed pages as a PDF file
// velmorin --export-doc OUT.pdf FILE.ldr      the program's documentation as a PDF file
// The picture modes skip the splash, write no settings and end at once;
// they work on the offscreen platform. The exports open no window at all.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QTextStream>

#include "app/AboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"
#include "editor/ui/DiagramPrinter.h"
#include "editor/ui/DocumentPrinter.h"

namespace {

bool SavePicture(QWidget& widget, const QString& path) {
    widget.show();
    QApplication::processEvents();
    widget.repaint();
    QApplication::processEvents();
    if (widget.grab().save(path, "PNG")) return true;
    QTextStream(stderr) << "velmorin: cannot write " << path << "\n";
    return false;
}

bool HasArgument(int argc, char** argv, std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i) {
        for (const char* name : names)
            if (qstrcmp(argv[i], name) == 0) return true;
    }
    return false;
}

// The help and the version need no window system at all (a terminal over
// ssh, the manual pages' build): they are answered without one, so that no
// platform plugin looks for a runtime folder and warns that there is none.
bool AsksForHelpOrVersion(int argc, char** argv) {
    return HasArgument(argc, argv, {"--help", "-h", "-?", "--help-all", "--version", "-v"});
}

// The exports need no display either: without a platform chosen they run offscreen.
void ChooseHeadlessPlatform(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return;
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--export-pdf", "--export-doc"}) {
            const QByteArray word(argv[i]);
            if (word == option || word.startsWith(QByteArray(option) + '=')) {
                qputenv("QT_QPA_PLATFORM", "offscreen");
                return;
            }
        }
    }
}

void NameApplication() {
    QCoreApplication::setOrganizationName(velmorin::SettingsOrganisation);
    QCoreApplication::setApplicationName(velmorin::SettingsApplication);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORIN_VERSION));
}

struct CommandLine {
    QCommandLineOption screenshot{"screenshot", "Guarda la ventana principal en FILE.png y termina.", "FILE.png"};
    QCommandLineOption screenshotAbout{"screenshot-about", "Guarda el cuadro Acerca de en FILE.png y termina.",
                                       "FILE.png"};
    QCommandLineOption exportPdf{"export-pdf", "Guarda las páginas del diagrama FILE.ldr en OUT.pdf y termina.",
                                 "OUT.pdf"};
    QCommandLineOption exportDoc{"export-doc",
                                 "Guarda la documentación de FILE.ldr (diagrama, operandos, observaciones y "
                                 "diagnósticos) en OUT.pdf y termina.",
                                 "OUT.pdf"};

    void Describe(QCommandLineParser& parser) const {
        parser.setApplicationDescription("Velmorin: editor, compilador y monitor Ladder");
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(screenshot);
        parser.addOption(screenshotAbout);
        parser.addOption(exportPdf);
        parser.addOption(exportDoc);
        parser.addPositionalArgument("FILE.ldr", "Archivo fuente Ladder que se abre al iniciar.", "[FILE.ldr]");
    }
};

// The exit statuses of the three programs: done, the job failed, a usage error.
constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

int UsageError(const QCommandLineParser& parser, const QString& why) {
    QTextStream(stderr) << "velmorin: " << why << "\n" << parser.helpText();
    return ExitUsage;
}

// The words of the command line: -1 when the program goes on, otherwise
// its exit status after --help, --version or a word it does not take.
int Parse(QCommandLineParser& parser) {
    if (!parser.parse(QCoreApplication::arguments())) return UsageError(parser, parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(ExitDone);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    return -1;
}

// What is wrong with the source files named, or nothing.
QString MisnamedFiles(const QCommandLineParser& parser, const CommandLine& options) {
    const qsizetype files = parser.positionalArguments().size();
    if (parser.isSet(options.exportPdf) && files != 1) return "--export-pdf needs one source file";
    if (parser.isSet(options.exportDoc) && files != 1) return "--export-doc needs one source file";
    if (files > 1) return "only one source file can be opened";
    return {};
}

// A usage error is told before any window system is looked for: a bad
// option over ssh gets its usage, not a missing display.
bool WellFormed(const CommandLine& options, int argc, char** argv) {
    QStringList words;
    for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    options.Describe(parser);
    return parser.parse(words) && MisnamedFiles(parser, options).isEmpty();
}

// An export of the one source file named; the fixed text, then what the
// editor's box shows on its second line, when it fails.
int Export(const velmorin::Result& exported) {
    if (exported) return ExitDone;
    QTextStream(stderr) << "velmorin: " << QString::fromStdString(exported.message) << " ("
                        << QString::fromStdString(exported.detail) << ")\n";
    return ExitFailed;
}

int Exports(const QCommandLineParser& parser, const CommandLine& options) {
    const std::string source = QFileInfo(parser.positionalArguments().front()).absoluteFilePath().toStdString();
    int status = ExitDone;
    if (parser.isSet(options.exportPdf))
        status = Export(velmorin::ExportSourceFilePdf(source, parser.value(options.exportPdf).toStdString()));
    if (parser.isSet(options.exportDoc) && status == ExitDone)
        status = Export(velmorin::ExportSourceFileDocumentation(source, parser.value(options.exportDoc).toStdString()));
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLine options;
    if (AsksForHelpOrVersion(argc, argv) || !WellFormed(options, argc, argv)) {
        QCoreApplication core(argc, argv);
        NameApplication();
        QCommandLineParser parser;
        options.Describe(parser);
        // The help, the version or a refused option ends the program here.
        if (const int status = Parse(parser); status >= 0) return status;
        return UsageError(parser, MisnamedFiles(parser, options));
    }
    ChooseHeadlessPlatform(argc, argv);
    QApplication qapp(argc, argv);
    NameApplication();
    // The desktop matches the window to velmorin.desktop (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("velmorin"));

    QCommandLineParser parser;
    options.Describe(parser);
    if (const int status = Parse(parser); status >= 0) return status;
    const QCommandLineOption& screenshot = options.screenshot;
    const QCommandLineOption& screenshotAbout = options.screenshotAbout;

    const QStringList files = parser.positionalArguments();
    if (parser.isSet(options.exportPdf) || parser.isSet(options.exportDoc)) return Exports(parser, options);

    const bool picture = parser.isSet(screenshot) || parser.isSet(screenshotAbout);
    velmorin::StartOptions start;
    start.sourceFile = files.isEmpty() ? QString() : files.front();
    start.splash = !picture;

    velmorin::CVelmorinApp app;
    if (!app.InitInstance(start)) return ExitFailed;

    if (parser.isSet(screenshot)) {
        return SavePicture(*app.frame(), parser.value(screenshot)) ? ExitDone : ExitFailed;
    }
    if (parser.isSet(screenshotAbout)) {
        // A later showing, so that no splash timer closes it under the camera.
        velmorin::AboutDialog about(velmorin::AboutDialog::ShownCounter, app.font(4), app.frame());
        return SavePicture(about, parser.value(screenshotAbout)) ? ExitDone : ExitFailed;
    }

    const int status = qapp.exec();
    app.ExitInstance();
    return status;
}
