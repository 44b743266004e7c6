#pragma once
// "Acerca de velmorin": name, version, purpose and the maker line. On its
// first showing of a session it doubles as the start-up splash and closes
// itself after three seconds unless the tiny button was pressed.
#include <QDialog>
#include <QFont>
#include <QSize>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QShowEvent;
class QTextBrowser;

namespace velmorin {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // Arranges for `fire` to run once after `milliseconds`. The default uses
    // a single-shot QTimer owned by the dialog; tests keep `fire` and call it.
    using TimerStarter = std::function<void(int milliseconds, std::function<void()> fire)>;

    static constexpr int SplashMilliseconds = 3000;
    // splashCounter after the box has closed once: no later showing is a splash.
    static constexpr int ShownCounter = 100;
    // The press (counted from 0) that brings up the credits.
    static constexpr int CreditsPress = 8;

    // The box starts from the application's splash counter and hands its
    // final value back through splashCounter() once it has closed.
    AboutDialog(int splashCounter, const QFont& versionFont, QWidget* parent = nullptr);

    int splashCounter() const { return splashCounter_; }

    // The box's size in dialog units (201 x 98), in pixels for its font.
    static QSize DialogSize(const QFont& font);

    void SetTimerStarter(TimerStarter starter);

    static QString VersionText();
    static QString MakerMarkup();
    static QString CreditsMarkup();
    // Where the maker line's link leads: the project's README when it can be
    // found next to the program, else the project page.
    static QString DocumentationTarget();

    QTextBrowser* makerLine() const { return makerLine_; }
    QPushButton* splashButton() const { return splashButton_; }
    QLabel* versionLine() const { return versionLine_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnSplashTimer();
    void OnSplashButton();

    int splashCounter_;
    TimerStarter timerStarter_;
    bool opened_ = false;
    QLabel* versionLine_ = nullptr;
    QTextBrowser* makerLine_ = nullptr;
    QPushButton* splashButton_ = nullptr;
};

// Runs the about box modally; returns the splash counter after it closed.
int ShowAboutBox(int splashCounter, const QFont& versionFont, QWidget* parent = nullptr);

}  // namespace velmorin
