// Renders SVG icons into the PNG sizes of the desktop's icon theme, with the
// same SVG renderer the editor draws its own icons with:
//   render-icons OUTDIR CONTEXT SIZE[,SIZE...] FILE.svg...
// writes OUTDIR/<SIZE>x<SIZE>/CONTEXT/<name>.png for every size and file,
// the icon theme's own layout (CONTEXT: apps, mimetypes).
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

namespace {

int Fail(const QString& why) {
    QTextStream(stderr) << "render-icons: " << why << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // A build machine has no display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments().mid(1);
    if (args.size() < 4) return Fail("usage: render-icons OUTDIR CONTEXT SIZE[,SIZE...] FILE.svg...");

    QList<int> sizes;
    for (const QString& text : args[2].split(u',')) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size < 1 || size > 1024) return Fail("bad size '" + text + "'");
        sizes << size;
    }

    for (const QString& svg : args.mid(3)) {
        QSvgRenderer renderer(svg);
        if (!renderer.isValid()) return Fail("cannot read " + svg);
        for (const int size : sizes) {
            QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            {
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                renderer.render(&painter);
            }
            const QString folder = QStringLiteral("%1/%2x%2/%3").arg(args[0]).arg(size).arg(args[1]);
            const QString png = folder + "/" + QFileInfo(svg).completeBaseName() + ".png";
            if (!QDir().mkpath(folder) || !image.save(png, "PNG")) return Fail("cannot write " + png);
        }
    }
    return 0;
}
