#include "app/AboutDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/MarkupRenderer.h"
#include "ui/DialogUnits.h"
#include "ui/Resources.h"

namespace velmorin {

namespace {

constexpr const char* MakerColour = "#0F0F0F";
constexpr const char* ProjectPage = "https://velmorin.example.org/docs";
constexpr const char* TeamMail = "mailto:equipo@velmorin.example.org";

}  // namespace

QSize AboutDialog::DialogSize(const QFont& font) { return DialogUnitsToPixels(font, 201, 98); }

AboutDialog::AboutDialog(int splashCounter, const QFont& versionFont, QWidget* parent)
    : QDialog(parent), splashCounter_(splashCounter) {
    InitAppResources();
    setWindowTitle(QStringLiteral("Acerca de velmorin"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmorin.svg")));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QIcon(QStringLiteral(":/icons/velmorin.svg")).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    versionLine_ = new QLabel(this);
    versionLine_->setObjectName(QStringLiteral("versionLine"));
    auto* purpose = new QLabel(QStringLiteral("Editor Ladder - Compilador - Monitor"), this);
    auto* model = new QLabel(QStringLiteral("para Velmorin VADRI modelo RV17"), this);

    makerLine_ = new QTextBrowser(this);
    makerLine_->setObjectName(QStringLiteral("makerLine"));
    makerLine_->setFrameShape(QFrame::NoFrame);
    makerLine_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    makerLine_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    makerLine_->setFocusPolicy(Qt::NoFocus);
    // Flush with the labels above, with room for the two lines of the credits.
    makerLine_->document()->setDocumentMargin(1);
    const QFontMetrics metrics(makerLine_->font());
    makerLine_->setFixedHeight(2 * metrics.lineSpacing() + 6);

    auto* accept = new QPushButton(QStringLiteral("Aceptar"), this);
    accept->setObjectName(QStringLiteral("acceptButton"));
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &QDialog::accept);

    // The tiny caption-less button: small enough to be found only by those
    // who know it is there.
    splashButton_ = new QPushButton(this);
    splashButton_->setObjectName(QStringLiteral("splashButton"));
    splashButton_->setFlat(true);
    splashButton_->setFocusPolicy(Qt::NoFocus);
    splashButton_->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    splashButton_->setFixedSize(DialogUnitsToPixels(font(), 6, 6));
    connect(splashButton_, &QPushButton::clicked, this, &AboutDialog::OnSplashButton);

    auto* texts = new QVBoxLayout;
    texts->addWidget(versionLine_);
    texts->addWidget(purpose);
    texts->addWidget(model);
    texts->addWidget(makerLine_);
    texts->addStretch();

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(accept);
    buttons->addStretch();
    buttons->addWidget(splashButton_, 0, Qt::AlignRight | Qt::AlignBottom);

    auto* row = new QHBoxLayout(this);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    row->addLayout(buttons);

    // Opening: renderer, maker line, version line. The splash timer waits
    // for the first showing.
    AttachMarkup(makerLine_);
    SetMarkupText(makerLine_, MakerMarkup());
    versionLine_->setFont(versionFont);
    versionLine_->setText(VersionText());

    resize(DialogSize(font()).expandedTo(minimumSizeHint()));
    timerStarter_ = [this](int milliseconds, std::function<void()> fire) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QStringLiteral("splashTimer"));
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, std::move(fire));
        timer->start(milliseconds);
    };
}

void AboutDialog::SetTimerStarter(TimerStarter starter) { timerStarter_ = std::move(starter); }

QString AboutDialog::VersionText() { return QString::fromUtf8("Velmorin versión 1.0  rev 02g"); }

QString AboutDialog::MakerMarkup() {
    return QStringLiteral("<font color=\"%1\"><b>2001 - <a href=\"%2\">Proyecto Velmorin</a></b></font>")
        .arg(QLatin1StringView(MakerColour), DocumentationTarget());
}

QString AboutDialog::CreditsMarkup() {
    // "</a>" returns to the automatic colour, so the colour is given again
    // for the telephone line.
    return QStringLiteral(
               "<font color=\"%1\"><b><a href=\"%2\">Equipo de desarrollo Velmorin</a>"
               "<font color=\"%1\"><br>Tel. +1 555 0100</b></font>")
        .arg(QLatin1StringView(MakerColour), QLatin1StringView(TeamMail));
}

QString AboutDialog::DocumentationTarget() {
    // The program runs from its build folder or an installed bin/ folder;
    // the README sits at the top of the source tree or in share/doc.
    QDir dir(QCoreApplication::applicationDirPath());
    for (int up = 0; up < 4; ++up) {
        for (const QString& candidate : {QStringLiteral("README.md"), QStringLiteral("share/doc/velmorin/README.md")}) {
            const QFileInfo readme(dir.filePath(candidate));
            if (readme.isFile()) {
                const QString url = QUrl::fromLocalFile(readme.absoluteFilePath()).toString();
                if (url.size() <= MaxLinkTarget) {
                    return url;
                }
            }
        }
        if (!dir.cdUp()) {
            break;
        }
    }
    return QLatin1StringView(ProjectPage);
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) {
        return;
    }
    opened_ = true;
    if (splashCounter_ == 0 && timerStarter_) {
        QPointer<AboutDialog> self(this);
        timerStarter_(SplashMilliseconds, [self] {
            if (self) {
                self->OnSplashTimer();
            }
        });
    }
}

void AboutDialog::OnSplashTimer() {
    if (splashCounter_ == 0 && isVisible()) {
        accept();
    }
}

void AboutDialog::OnSplashButton() {
    const int before = splashCounter_++;
    if (before == CreditsPress) {
        SetMarkupText(makerLine_, CreditsMarkup());
    }
}

void AboutDialog::done(int result) {
    splashCounter_ = ShownCounter;
    QDialog::done(result);
}

int ShowAboutBox(int splashCounter, const QFont& versionFont, QWidget* parent) {
    AboutDialog dialog(splashCounter, versionFont, parent);
    dialog.exec();
    return dialog.splashCounter();
}

}  // namespace velmorin
