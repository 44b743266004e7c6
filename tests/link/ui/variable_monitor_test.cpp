// The variable monitor against velmorin-sim on a pseudo-terminal: the real
// window, the real termios link, the poll worker on its thread.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "link/termios_link.h"
#include "link/ui/VariableMonitorDialog.h"
#include "support/gui_wait.h"
#include "support/scripted_prompts.h"
#include "support/sim_process.h"

namespace velmorin {
namespace {

using testing::ProcessEventsUntil;

QPixmap Filled(Qt::GlobalColor colour) {
    QPixmap pixmap(9, 9);
    pixmap.fill(colour);
    return pixmap;
}

class VariableMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ready()) << sim.err();
        ResetModel(*model);
        link = std::make_unique<TermiosLink>(std::array<std::string, PortCount>{sim.device(), "", "", ""});
        lights = {Filled(Qt::green), Filled(Qt::red), Filled(Qt::black)};
    }

    std::unique_ptr<VariableMonitorDialog> Open() {
        auto dialog = std::make_unique<VariableMonitorDialog>(MonitorContext{*link, clock, 0, plcId, prompts, lights},
                                                              state, *model, std::string());
        EXPECT_TRUE(dialog->OpenPort());
        dialog->show();
        return dialog;
    }

    // What a user's choice in a row's list does.
    static void Choose(VariableMonitorDialog& dialog, int row, int item) {
        QComboBox* list = dialog.row(row).variable;
        list->setCurrentIndex(item);
        emit list->activated(item);
    }

    static QString Value(VariableMonitorDialog& dialog, int row) { return dialog.row(row).value->text(); }

    // What sits in the simulator's memory ("V02 = 123").
    std::string Memory(const std::string& name) { return sim.Command("get " + name).value_or("?"); }

    // The time "Detener" takes to come back, in milliseconds.
    static qint64 TimedStop(VariableMonitorDialog& dialog) {
        QElapsedTimer timer;
        timer.start();
        dialog.receiveButton()->click();
        return timer.elapsed();
    }

    testing::SimProcess sim;
    std::unique_ptr<TermiosLink> link;
    SystemClock clock;
    int plcId = 1;
    testing::ScriptedPrompts prompts;
    MonitorState state;
    std::unique_ptr<ProgramModel> model = std::make_unique<ProgramModel>();
    LightPictures lights;
};

TEST_F(VariableMonitorTest, RowsFollowTheControllerAndForcedValuesLandInItsMemory) {
    ASSERT_TRUE(sim.Command("on E1") && sim.Command("set V01 42") && sim.Command("set CNTE1 4660"));
    auto dialog = Open();
    Choose(*dialog, 0, 1);   // E1
    Choose(*dialog, 1, 15);  // V01, address 14
    EXPECT_EQ(dialog->description()->text(), "V01: Variable");
    Choose(*dialog, 2, 93);  // CNTE1, the count state at 92
    dialog->row(2).word->click();
    Choose(*dialog, 3, 16);  // V02
    dialog->row(3).send->click();

    const auto buttonPlaces = [&] {
        std::vector<QRect> places;
        for (const char* name : {"exit", "graphic", "plcId"})
            places.push_back(dialog->findChild<QWidget*>(name)->geometry());
        return places;
    };
    QApplication::processEvents();
    const std::vector<QRect> idle = buttonPlaces();
    dialog->receiveButton()->click();
    EXPECT_EQ(dialog->receiveButton()->text(), "Detener");
    EXPECT_FALSE(dialog->sendButton()->isEnabled());
    EXPECT_FALSE(dialog->row(3).value->isEnabled());
    ASSERT_TRUE(ProcessEventsUntil([&] {
        return Value(*dialog, 0) == "1" && Value(*dialog, 1) == "42" && Value(*dialog, 2) == "4660";
    })) << Value(*dialog, 0).toStdString()
        << " " << Value(*dialog, 1).toStdString();
    EXPECT_TRUE(dialog->row(0).bit0->isChecked());
    EXPECT_FALSE(dialog->row(2).bit0->isChecked());  // 4660 is even
    EXPECT_TRUE(dialog->linkFigures()->text().contains("ciclos/s")) << dialog->linkFigures()->text().toStdString();
    QApplication::processEvents();
    EXPECT_EQ(buttonPlaces(), idle);  // the figures came in without moving a button
    // An answering controller lights the link light, green or red, never dark.
    EXPECT_NE(dialog->linkLight()->pixmap().cacheKey(), lights.dark.cacheKey());

    ASSERT_TRUE(sim.Command("set V01 7"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return Value(*dialog, 1) == "7"; }));

    // The exchange under way ends; no other starts.
    EXPECT_LT(TimedStop(*dialog), 400);
    EXPECT_FALSE(dialog->workerAlive());
    EXPECT_EQ(dialog->receiveButton()->text(), "Recibir PLC");
    EXPECT_TRUE(dialog->sendButton()->isEnabled());
    EXPECT_TRUE(dialog->row(3).value->isEnabled());
    EXPECT_EQ(dialog->linkLight()->pixmap().cacheKey(), lights.dark.cacheKey());
    EXPECT_EQ(dialog->heartbeatLight()->pixmap().cacheKey(), lights.dark.cacheKey());

    // "Enviar PLC": a byte row and a word row.
    dialog->row(3).value->setText("123");
    dialog->row(2).send->click();
    dialog->row(2).value->setText("300");
    dialog->sendButton()->click();
    EXPECT_EQ(Memory("V02"), "V02 = 123\n");
    EXPECT_EQ(Memory("CNTE1"), "CNTE1 = 300\n");
    EXPECT_TRUE(prompts.messages.empty());

    // A value a byte cannot hold stops the whole send before a byte leaves.
    dialog->row(3).value->setText("300");
    dialog->row(2).value->setText("5");
    dialog->sendButton()->click();
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Edición de datos inválido"});
    EXPECT_EQ(Memory("CNTE1"), "CNTE1 = 300\n");

    // A silent controller: every row is tried, then one message.
    ASSERT_TRUE(sim.Command("fault silent"));
    dialog->row(3).value->setText("9");
    dialog->sendButton()->click();
    EXPECT_EQ(prompts.messages.back(), "Hubo error en el envio de datos");
    ASSERT_TRUE(sim.Command("fault none"));

    // Leaving stores the identifier and gives the port back.
    dialog->identifier()->stepUp();
    dialog->findChild<QPushButton*>("exit")->click();
    EXPECT_EQ(plcId, 2);
    EXPECT_EQ(link->OpenPort(0), 1) << "the monitor left its port open";
    link->ClosePort(0);
}

TEST_F(VariableMonitorTest, AnEmptyMapStopsPollingAtTheCycleEndAndTheStateOutlivesTheWindow) {
    auto dialog = Open();
    dialog->mapTabs()->setCurrentIndex(1);
    dialog->receiveButton()->click();
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"No hay variables para recibir"});
    EXPECT_EQ(dialog->receiveButton()->text(), "Recibir PLC");

    ASSERT_TRUE(sim.Command("set V05 77"));
    Choose(*dialog, 4, 19);  // V05
    dialog->receiveButton()->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Value(*dialog, 4) == "77"; }));
    // Map 3 has no variable: the worker ends by itself at its cycle end.
    dialog->mapTabs()->setCurrentIndex(2);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !dialog->polling() && !dialog->workerAlive(); }));
    EXPECT_EQ(dialog->receiveButton()->text(), "Recibir PLC");
    EXPECT_TRUE(dialog->sendButton()->isEnabled());
    EXPECT_TRUE(dialog->row(0).value->isEnabled());
    EXPECT_EQ(dialog->heartbeatLight()->pixmap().cacheKey(), lights.dark.cacheKey());
    dialog->close();
    dialog.reset();

    // Reopened: map 1 first, the row and its last value kept.
    dialog = Open();
    EXPECT_EQ(dialog->currentMap(), 0);
    dialog->mapTabs()->setCurrentIndex(1);
    EXPECT_EQ(dialog->row(4).variable->currentText(), "V05");
    EXPECT_EQ(Value(*dialog, 4), "77");
}

TEST_F(VariableMonitorTest, FilesAndAliasesWhilePolling) {
    ASSERT_TRUE(sim.Command("set V01 42") && sim.Command("set V02 5"));
    auto dialog = Open();
    Choose(*dialog, 0, 15);  // V01
    dialog->receiveButton()->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return Value(*dialog, 0) == "42"; }));

    const std::string path = std::filesystem::path(sim.device()).parent_path() / "maps.mld";
    prompts.fileAnswers = {path};
    dialog->findChild<QPushButton*>("save")->click();
    EXPECT_EQ(std::filesystem::file_size(path), 1038u);

    Choose(*dialog, 0, 16);  // V02, polled from the next cycle end on
    ASSERT_TRUE(ProcessEventsUntil([&] { return Value(*dialog, 0) == "5"; }));

    // "Recuperar" while the worker polls: the file's map and image replace
    // the shown ones, and the worker follows the loaded map.
    prompts.fileAnswers = {path};
    dialog->findChild<QPushButton*>("load")->click();
    EXPECT_EQ(dialog->row(0).variable->currentText(), "V01");
    ASSERT_TRUE(sim.Command("set V01 43"));
    EXPECT_TRUE(ProcessEventsUntil([&] { return Value(*dialog, 0) == "43"; }));

    // "Asociar": every list names E1 by the program's alias.
    prompts.fileAnswers = {std::string(VELMORIN_SOURCE_DIR) + "/examples/latch.ldr"};
    dialog->findChild<QPushButton*>("associate")->click();
    for (int row = 0; row < MonitorRowsPerMap; ++row) EXPECT_EQ(dialog->row(row).variable->itemText(1), "marcha");
    EXPECT_EQ(dialog->programName()->text(), "latch");
    EXPECT_EQ(state.programPath, std::string(VELMORIN_SOURCE_DIR) + "/examples/latch.ldr");
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(dialog->polling());
}

}  // namespace
}  // namespace velmorin
