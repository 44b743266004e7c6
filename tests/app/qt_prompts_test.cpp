#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <functional>
#include <map>

#include <clocale>

#include "app/QtPrompts.h"
#include "model/document.h"
#include "shell_test_support.h"
#include "support/gui_wait.h"

namespace velmorin {
namespace {

// Runs `act` on the first modal dialog of type T that comes up while
// `show` runs; gives up (and fails) after a few seconds.
template <typename T>
bool WhileShown(const std::function<void()>& show, const std::function<void(T&)>& act) {
    bool seen = false;
    QDeadlineTimer deadline(5000);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll.stop();
            seen = true;
            act(*dialog);
        } else if (deadline.hasExpired()) {
            poll.stop();
            if (QWidget* other = QApplication::activeModalWidget()) other->close();
        }
    });
    poll.start(10);
    show();
    return seen;
}

TEST(QtPrompts, TheDiscardQuestionIsAWarningWithYesAndNo) {
    QtPrompts prompts;
    for (bool yes : {false, true}) {
        bool answer = !yes;
        const bool seen = WhileShown<QMessageBox>(
            [&] { answer = prompts.AskYesNo("El diagrama fue editado. Descarta los cambios?", "Descartar"); },
            [&](QMessageBox& box) {
                EXPECT_EQ(box.windowTitle(), "Descartar");
                EXPECT_EQ(box.text(), "El diagrama fue editado. Descarta los cambios?");
                EXPECT_EQ(box.icon(), QMessageBox::Warning);
                EXPECT_EQ(box.standardButtons(), QMessageBox::Yes | QMessageBox::No);
                box.button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            });
        ASSERT_TRUE(seen);
        EXPECT_EQ(answer, yes);
    }
}

TEST(QtPrompts, MessagesHaveOnlyAnOkButton) {
    QtPrompts prompts;
    const bool seen = WhileShown<QMessageBox>([&] { prompts.ShowMessage("Error al abrir el archivo"); },
                                              [](QMessageBox& box) {
                                                  EXPECT_EQ(box.windowTitle(), "velmorin");
                                                  EXPECT_EQ(box.text(), "Error al abrir el archivo");
                                                  EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
                                                  box.button(QMessageBox::Ok)->click();
                                              });
    EXPECT_TRUE(seen);
}

TEST(QtPrompts, AFailureShowsItsDetailUnderTheFixedText) {
    QtPrompts prompts;
    const bool seen = WhileShown<QMessageBox>(
        [&] { prompts.ShowFailure(Result::Fail("Error al abrir el archivo", "/tmp/q.bld: Permiso denegado")); },
        [](QMessageBox& box) {
            EXPECT_EQ(box.text(), "Error al abrir el archivo");
            EXPECT_EQ(box.informativeText(), "/tmp/q.bld: Permiso denegado");
            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
            box.button(QMessageBox::Ok)->click();
        });
    EXPECT_TRUE(seen);
}

// Set VELMORIN_GRAB_DIR to look at a box as the user sees it.
void Grab(QWidget& box, const char* name) {
    const QByteArray dir = qgetenv("VELMORIN_GRAB_DIR");
    if (!dir.isEmpty()) box.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
}

// The offer after an extraction: its own button and one that only closes;
// only the first takes it.
TEST(QtPrompts, AnOfferIsTakenOnlyByItsOwnButton) {
    QtPrompts prompts;
    for (bool take : {false, true}) {
        bool answer = !take;
        const bool seen = WhileShown<QMessageBox>(
            [&] { answer = prompts.OfferAction("Programa reconstruido.", "Abrir como diagrama", "Extraer programa"); },
            [&](QMessageBox& box) {
                EXPECT_EQ(box.windowTitle(), "Extraer programa");
                EXPECT_EQ(box.icon(), QMessageBox::Information);
                QStringList names;
                QAbstractButton* pressed = nullptr;
                for (QAbstractButton* button : box.buttons()) {
                    names << button->text();
                    if ((button->text() == "Abrir como diagrama") == take) pressed = button;
                }
                names.sort();
                EXPECT_EQ(names, (QStringList{"Abrir como diagrama", "Cerrar"}));
                Grab(box, "offer.png");
                ASSERT_NE(pressed, nullptr);
                pressed->click();
            });
        ASSERT_TRUE(seen);
        EXPECT_EQ(answer, take);
    }
}

// A failure with a listing: the address on the line under the text, and the
// listing shown at once in a fixed-width font.
TEST(QtPrompts, AListingShowsInAFixedWidthFont) {
    QtPrompts prompts;
    const std::string listing = "~VLB image, 5 bytes\n00  06 00     ld e1\n02  11 00     jp1 00\n";
    const bool seen = WhileShown<QMessageBox>(
        [&] {
            prompts.ShowListing(Result::Fail("No se pudo reconstruir el diagrama", "dirección 02: salto hacia atrás"),
                                listing);
        },
        [&](QMessageBox& box) {
            EXPECT_EQ(box.text(), "No se pudo reconstruir el diagrama");
            EXPECT_EQ(box.informativeText(), QString::fromUtf8("dirección 02: salto hacia atrás"));
            EXPECT_EQ(box.detailedText().toStdString(), listing);
            auto* details = box.findChild<QTextEdit*>();
            ASSERT_NE(details, nullptr);
            EXPECT_TRUE(details->isVisible());
            EXPECT_TRUE(QFontInfo(details->font()).fixedPitch());
            Grab(box, "not-recovered.png");
            box.button(QMessageBox::Ok)->click();
        });
    EXPECT_TRUE(seen);
}

// The application speaks Spanish whatever the user's locale: under the C
// locale the discard question still answers "Sí" and "No".
class SpanishShell : public testing::ShellTest {};

TEST_F(SpanishShell, TheDiscardQuestionsButtonsAreSpanishUnderTheCLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(Start());
    app->SetPrompts(nullptr);
    doc().SetModified(true);
    QStringList buttons;
    const bool seen = WhileShown<QMessageBox>([&] { doc().NewDocument(); },
                                              [&](QMessageBox& box) {
                                                  for (QAbstractButton* button : box.buttons())
                                                      buttons << button->text().remove(u'&');
                                                  box.button(QMessageBox::No)->click();
                                              });
    QLocale::setDefault(QLocale::system());
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_TRUE(seen);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"No", QString::fromUtf8("Sí")}));
    EXPECT_TRUE(doc().modified());
}

// Under the C locale the file dialog's list still reads in Spanish: a
// folder's type, a file's size and date, each column wide enough to read.
TEST_F(SpanishShell, TheFileListIsSpanishUnderTheCLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(Start());
    app->SetPrompts(nullptr);
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("carpeta"));
    const QDateTime modified(QDate(2024, 12, 9), QTime(10, 0));
    {
        QFile file(folder.filePath("datos.bin"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(3000, '\0'));
        file.close();
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    {
        QFile file(folder.filePath("motor.ldr"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(517, '\0'));
    }
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    FileDialogRequest request;
    request.title = "Abrir";
    request.filters = {{"Todos los archivos", "*.*"}};
    request.directory = folder.path().toStdString();
    std::map<QString, QStringList> rows;
    int sizeWidth = 0, sizeNeeded = 0;
    const bool seen = WhileShown<QFileDialog>(
        [&] { app->prompts().AskFile(request); },
        [&](QFileDialog& dialog) {
            auto* list = dialog.findChild<QTreeView*>("treeView");
            ASSERT_NE(list, nullptr);
            QAbstractItemModel* model = list->model();
            testing::ProcessEventsUntil([&] { return model->rowCount(list->rootIndex()) == 3; }, 5000);
            QApplication::processEvents();
            for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
                QStringList texts;
                for (int column = 0; column < 4; ++column)
                    texts << model->index(row, column, list->rootIndex()).data().toString();
                rows[texts.front()] = texts;
            }
            sizeWidth = list->header()->sectionSize(1);
            for (const qint64 bytes : {517, 3000})
                sizeNeeded =
                    std::max(sizeNeeded, list->fontMetrics().horizontalAdvance(spanish.formattedDataSize(bytes)));
            dialog.reject();
        });
    QLocale::setDefault(QLocale::system());
    std::setlocale(LC_ALL, previous.c_str());
    ASSERT_TRUE(seen);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows["carpeta"][2], "Carpeta");
    EXPECT_EQ(rows["datos.bin"][1], "2,93 KiB");
    EXPECT_EQ(rows["motor.ldr"][1], "517 bytes");
    EXPECT_EQ(rows["datos.bin"][2], "desconocido");
    EXPECT_EQ(rows["datos.bin"][3], spanish.toString(modified, QLocale::ShortFormat));
    EXPECT_FALSE(rows["datos.bin"][3].contains("Dec"));
    EXPECT_GT(sizeWidth, sizeNeeded);
}

TEST(QtPrompts, TheSaveDialogPresetsAndCompletesTheName) {
    QTemporaryDir folder;
    Document document;
    document.SetStartDirectory(folder.path().toStdString());
    QtPrompts prompts;
    std::optional<std::string> chosen;
    const bool seen = WhileShown<QFileDialog>(
        [&] { chosen = prompts.AskFile(document.SaveRequest()); },
        [&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Guardar archivo fuente");
            EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(dialog.nameFilters(), (QStringList{"Fuente Ladder (*.ldr)", "Todos los archivos (*.*)"}));
            EXPECT_EQ(dialog.selectedNameFilter(), "Fuente Ladder (*.ldr)");
            EXPECT_EQ(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
            EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            EXPECT_EQ(name->text(), "*.ldr");
            name->setText("motor");
            QMetaObject::invokeMethod(&dialog, "accept");
        });
    ASSERT_TRUE(seen);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QString::fromStdString(*chosen), QDir(folder.path()).filePath("motor.ldr"));
}

TEST(QtPrompts, TheOpenDialogTakesOnlyExistingFilesAndCancelGivesNothing) {
    Document document;
    QtPrompts prompts;
    std::optional<std::string> chosen = "unchanged";
    const bool seen = WhileShown<QFileDialog>([&] { chosen = prompts.AskFile(document.OpenRequest()); },
                                              [](QFileDialog& dialog) {
                                                  EXPECT_EQ(dialog.windowTitle(), "Abrir archivo fuente");
                                                  EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
                                                  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
                                                  dialog.reject();
                                              });
    ASSERT_TRUE(seen);
    EXPECT_FALSE(chosen.has_value());
}

// Qt's dialog keeps a folder history of its own in QtProject.conf; the
// program must leave that file as it found it: absent, or with another
// program's history untouched.
TEST(QtPrompts, FileDialogsLeaveQtsOwnFolderHistoryAsTheyFoundIt) {
    const QString path = QSettings(QSettings::UserScope, "QtProject").fileName();
    QFile::remove(path);
    QTemporaryDir folder;
    Document document;
    document.SetStartDirectory(folder.path().toStdString());
    QtPrompts prompts;
    const auto saveThere = [&] {
        return WhileShown<QFileDialog>([&] { prompts.AskFile(document.SaveRequest()); },
                                       [](QFileDialog& dialog) {
                                           dialog.findChild<QLineEdit*>("fileNameEdit")->setText("motor");
                                           QMetaObject::invokeMethod(&dialog, "accept");
                                       });
    };

    ASSERT_TRUE(saveThere());
    EXPECT_FALSE(QFile::exists(path));

    {
        QSettings other(QSettings::UserScope, "QtProject");
        other.setValue("FileDialog/history", QStringList{"file:///srv/otro"});
        other.setValue("FileDialog/lastVisited", "file:///srv/otro");
        other.setValue("Otro/clave", 7);
    }
    ASSERT_TRUE(saveThere());
    {
        QSettings other(QSettings::UserScope, "QtProject");
        EXPECT_EQ(other.allKeys().join(' ').toStdString(), "FileDialog/history FileDialog/lastVisited Otro/clave");
        EXPECT_EQ(other.value("FileDialog/history").toStringList().join(' ').toStdString(), "file:///srv/otro");
        EXPECT_EQ(other.value("FileDialog/lastVisited").toString().toStdString(), "file:///srv/otro");
        EXPECT_EQ(other.value("Otro/clave").toInt(), 7);
    }
    QFile::remove(path);
}

}  // namespace
}  // namespace velmorin
