// velmorin [FILE.ldr]
// velmorin --screenshot FILE.png [FILE.ldr]   the main window as a picture
// velmorin --screenshot-about FILE.png        the about box as a picture
// Both picture modes skip the splash, write no settings and end at once;
// they work on the offscreen platform.
#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QTextStream>

#include "app/AboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"

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

}  // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(velmorin::SettingsOrganisation);
    QApplication::setApplicationName(velmorin::SettingsApplication);
    QApplication::setApplicationVersion("1.0");

    QCommandLineParser parser;
    parser.setApplicationDescription("Velmorin: editor, compilador y monitor Ladder");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot("screenshot", "Guarda la ventana principal en FILE.png y termina.", "FILE.png");
    const QCommandLineOption screenshotAbout("screenshot-about", "Guarda el cuadro Acerca de en FILE.png y termina.",
                                             "FILE.png");
    parser.addOption(screenshot);
    parser.addOption(screenshotAbout);
    parser.addPositionalArgument("FILE.ldr", "Archivo fuente Ladder que se abre al iniciar.", "[FILE.ldr]");
    parser.process(qapp);

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        QTextStream(stderr) << "velmorin: only one source file can be opened\n";
        return 2;
    }

    const bool picture = parser.isSet(screenshot) || parser.isSet(screenshotAbout);
    velmorin::StartOptions options;
    options.sourceFile = files.isEmpty() ? QString() : files.front();
    options.splash = !picture;

    velmorin::CVelmorinApp app;
    if (!app.InitInstance(options)) return 1;

    if (parser.isSet(screenshot)) {
        return SavePicture(*app.frame(), parser.value(screenshot)) ? 0 : 1;
    }
    if (parser.isSet(screenshotAbout)) {
        // A later showing, so that no splash timer closes it under the camera.
        velmorin::AboutDialog about(velmorin::AboutDialog::ShownCounter, app.font(4), app.frame());
        return SavePicture(about, parser.value(screenshotAbout)) ? 0 : 1;
    }

    const int status = qapp.exec();
    app.ExitInstance();
    return status;
}
