#pragma once
// A started application with scripted prompts and dialogs, on a settings store of this
// test process alone (the test-mode location of Qt is shared by every test
// process that ctest runs in parallel).
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "../support/scripted_frame_dialogs.h"
#include "../support/scripted_prompts.h"
#include "app/AppSettings.h"
#include "app/CMainFrame.h"
#include "app/CVelmorinApp.h"
#include "app/CVelmorinDoc.h"
#include "model/source_file.h"

namespace velmorin::testing {

inline void UsePrivateSettingsStore() {
    static QTemporaryDir folder;
    static const bool pointed = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
        return true;
    }();
    (void)pointed;
    QSettings store(SettingsOrganisation, SettingsApplication);
    store.clear();
    store.sync();
}

inline QSettings Store() { return QSettings(SettingsOrganisation, SettingsApplication); }

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        UsePrivateSettingsStore();
        ASSERT_TRUE(files.isValid());
    }

    void TearDown() override {
        app.reset();
        QApplication::processEvents();
    }

    // Every message and every dialog of the started application is scripted.
    bool Start(StartOptions options = {}) {
        options.splash = false;
        app = std::make_unique<CVelmorinApp>();
        app->SetPrompts(&prompts);
        const bool started = app->InitInstance(options);
        if (app->frame()) app->frame()->SetDialogs(&dialogs);
        return started;
    }

    CMainFrame& frame() { return *app->frame(); }
    CVelmorinDoc& doc() { return app->document(); }

    std::string FilePath(const QString& name) const { return files.filePath(name).toStdString(); }

    // A source file whose diagram has a vertical wire at (row, column).
    std::string WriteDiagram(const QString& name, int row = 5, int column = 1) const {
        ProgramModel model;
        ResetModel(model);
        model.grid.at(row, column).shape = KindVertical;
        const std::string path = FilePath(name);
        EXPECT_TRUE(WriteSourceFile(model, path).ok);
        return path;
    }

    QTemporaryDir files;
    ScriptedPrompts prompts;
    ScriptedFrameDialogs dialogs;
    std::unique_ptr<CVelmorinApp> app;
};

}  // namespace velmorin::testing
