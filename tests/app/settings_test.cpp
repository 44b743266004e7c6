#include <gtest/gtest.h>
#include <QApplication>
#include <QSettings>

#include <utility>

#include "editor/ui/CVelmorinView.h"
#include "shell_test_support.h"

namespace velmorin {
namespace {

using testing::ShellTest;
using testing::Store;

// Where the window frame sits, and the window's own size.
QRect Placed(const QWidget& window) { return QRect(window.pos(), window.size()); }

int Stored(const char* key) { return Store().value(QString::fromLatin1(key), -12345).toInt(); }

// The normal window rectangle as the four "WinPos" edges hold it.
QRect StoredNormalRect() {
    const int left = Stored("WinPos/rcNormalPosition_left");
    const int top = Stored("WinPos/rcNormalPosition_top");
    return QRect(left, top, Stored("WinPos/rcNormalPosition_right") - left,
                 Stored("WinPos/rcNormalPosition_bottom") - top);
}

class SettingsTest : public ShellTest {};

TEST_F(SettingsTest, FirstStartOnAnEmptyStore) {
    ASSERT_TRUE(Start());
    const AppSettings& settings = app->settings();
    EXPECT_EQ(settings.commPort, 1);
    EXPECT_EQ(settings.plcId, 1);
    EXPECT_EQ(settings.setStopMode, 0);
    EXPECT_TRUE(frame().isVisible());
    EXPECT_FALSE(frame().isMaximized());
    EXPECT_FALSE(frame().isMinimized());
    EXPECT_EQ(Placed(frame()), QRect(0, 0, 670, 400));
    EXPECT_EQ(app->startDirectory(), QDir::currentPath());
    // Nothing is written before the exit.
    EXPECT_TRUE(Store().allKeys().isEmpty());
}

TEST_F(SettingsTest, StoredValuesAndPlacementAreRestored) {
    {
        QSettings store = Store();
        for (const auto& [key, value] : {std::pair{"Settings/CommPort", 3},
                                         {"Settings/PlcId", 17},
                                         {"Settings/setRunMode", 1070},
                                         {"Settings/PlcSelOnProg", 0},
                                         {"WinPos/rcNormalPosition_left", 10},
                                         {"WinPos/rcNormalPosition_top", 20},
                                         {"WinPos/rcNormalPosition_right", 510},
                                         {"WinPos/rcNormalPosition_bottom", 420},
                                         {"WinPos/showCmd", 1}}) {
            store.setValue(QString::fromLatin1(key), value);
        }
    }
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->settings().commPort, 3);
    EXPECT_EQ(app->settings().plcId, 17);
    EXPECT_EQ(app->settings().setRunMode, 1070);
    EXPECT_EQ(app->settings().plcSelOnProg, 0);
    EXPECT_EQ(Placed(frame()), QRect(10, 20, 500, 400));
}

TEST_F(SettingsTest, ShowCommandsChooseTheWindowState) {
    struct Case {
        int showCmd;
        bool maximized;
        bool minimized;
    };
    for (const Case c : {Case{3, true, false}, Case{2, false, true}, Case{6, false, true}, Case{7, false, true},
                         Case{1, false, false}, Case{5, false, false}}) {
        SCOPED_TRACE(c.showCmd);
        testing::UsePrivateSettingsStore();
        Store().setValue("WinPos/showCmd", c.showCmd);
        ASSERT_TRUE(Start());
        EXPECT_EQ(frame().isMaximized(), c.maximized);
        EXPECT_EQ(frame().isMinimized(), c.minimized);
        ASSERT_TRUE(frame().close());
        EXPECT_EQ(Stored("WinPos/showCmd"), c.maximized ? 3 : c.minimized ? 2 : 1);
        // The restored rectangle survives a maximized or minimized session.
        EXPECT_EQ(StoredNormalRect(), QRect(0, 0, 670, 400));
        app.reset();
    }
}

TEST_F(SettingsTest, AStoredPlcIdZeroStartsAsOneAndIsWrittenBackAsOne) {
    Store().setValue("Settings/PlcId", 0);
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->settings().plcId, 1);
    ASSERT_TRUE(frame().close());
    EXPECT_EQ(Stored("Settings/PlcId"), 1);
}

TEST_F(SettingsTest, EveryValueIsWrittenBackAtExit) {
    ASSERT_TRUE(Start());
    app->settings().commPort = 2;
    app->settings().setStopMode = 1;
    frame().move(30, 40);
    frame().resize(600, 350);
    ASSERT_TRUE(frame().close());
    EXPECT_TRUE(app->settingsWritten());

    EXPECT_EQ(Stored("Settings/CommPort"), 2);
    EXPECT_EQ(Stored("Settings/PlcId"), 1);
    EXPECT_EQ(Stored("Settings/setRunMode"), 1071);
    EXPECT_EQ(Stored("Settings/setStopMode"), 1);
    EXPECT_EQ(Stored("Settings/setIdAll"), 1);
    EXPECT_EQ(Stored("Settings/PlcSelOnProg"), 1);
    EXPECT_EQ(Stored("WinPos/showCmd"), 1);
    EXPECT_EQ(StoredNormalRect(), QRect(30, 40, 600, 350));
    for (const char* key :
         {"WinPos/ptMinPosition_x", "WinPos/ptMinPosition_y", "WinPos/ptMaxPosition_x", "WinPos/ptMaxPosition_y"}) {
        EXPECT_EQ(Stored(key), -1) << key;
    }
}

TEST_F(SettingsTest, SettingsAreWrittenOnce) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(frame().close());
    Store().setValue("Settings/CommPort", 0);
    // The event loop's end calls the exit again; the store is not touched twice.
    app->ExitInstance();
    EXPECT_EQ(Stored("Settings/CommPort"), 0);
}

TEST_F(SettingsTest, RecentFilesSurviveARestart) {
    const std::string first = WriteDiagram("first.ldr");
    const std::string second = WriteDiagram("second.ldr");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(doc().LoadDocument(QString::fromStdString(first)));
    ASSERT_TRUE(doc().LoadDocument(QString::fromStdString(second)));
    ASSERT_TRUE(frame().close());
    app.reset();

    ASSERT_TRUE(Start());
    ASSERT_EQ(app->recentFiles().size(), 2);
    EXPECT_EQ(app->recentFiles().entries()[0], second);
    EXPECT_EQ(app->recentFiles().entries()[1], first);
}

TEST_F(SettingsTest, FontsAndIndicatorsAreReady) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->font(0).weight(), QFont::Bold);
    EXPECT_EQ(app->font(1).weight(), QFont::Normal);
    EXPECT_EQ(app->font(4).weight(), QFont::ExtraBold);
    EXPECT_TRUE(app->font(0).families().contains("Times New Roman"));
    EXPECT_TRUE(app->font(4).families().contains("MS Sans Serif"));
    // Font 3 is the smaller one.
    EXPECT_LT(app->font(3).pixelSize(), app->font(1).pixelSize());
    struct Lamp {
        Indicator which;
        bool green;
        bool red;
    };
    for (const Lamp lamp :
         {Lamp{IndicatorGreen, true, false}, Lamp{IndicatorRed, false, true}, Lamp{IndicatorDark, false, false}}) {
        const QImage image = app->indicator(lamp.which).toImage();
        ASSERT_EQ(image.size(), QSize(9, 9));
        // The middle of a lamp is painted, not left transparent, in the lamp's colour.
        EXPECT_GT(qAlpha(image.pixel(4, 4)), 0) << lamp.which;
        const QColor centre = image.pixelColor(5, 6);
        EXPECT_EQ(centre.green() > 150, lamp.green) << lamp.which;
        EXPECT_EQ(centre.red() > 150, lamp.red) << lamp.which;
    }
}

TEST(FontSizes, HeightIsTheCellAndWidthTheAverageCharacter) {
    // 40 tenths of a millimetre at 254 dots per inch are 40 pixels.
    const QFont font = MakeFont(FontTable[1], 254, 254);
    const QFontMetricsF metrics(font);
    EXPECT_NEAR(metrics.height(), 40.0, 3.0);
    const double average =
        metrics.averageCharWidth() > 0 ? metrics.averageCharWidth() : metrics.horizontalAdvance(u'x');
    EXPECT_NEAR(average, 12.0, 3.0);

    // The dialog font is measured in pixels whatever the resolution.
    for (int dpi : {96, 254}) {
        const QFontMetricsF dialog(MakeFont(FontTable[4], dpi, dpi));
        EXPECT_NEAR(dialog.height(), 20.0, 2.0) << dpi;
    }
}

}  // namespace
}  // namespace velmorin
