// The link dialogs as the user meets them, against velmorin-sim on a
// pseudo-terminal: the road from a compiled diagram to a running controller,
// reading a program back, a controller that does not answer, the command
// panel's choices, the port dialog, and the rules of the send dialog's fields.
#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../../app/shell_test_support.h"
#include "../../support/modal_script.h"
#include "../../support/sim_process.h"
#include "app/CommandTable.h"
#include "compiler/compiler.h"
#include "compiler/program_image.h"
#include "compiler/ui/CompileDialog.h"
#include "link/link_access.h"
#include "link/ui/BusyMessageWindow.h"
#include "link/ui/CommandPanelDialog.h"
#include "link/ui/ExtractProgramDialog.h"
#include "link/ui/LinkFieldSpinBox.h"
#include "link/ui/PasswordGroup.h"
#include "link/ui/PortSelectDialog.h"
#include "link/ui/SendProgramDialog.h"
#include "model/source_file.h"

namespace velmorin {
namespace {

using testing::ModalScript;
using testing::SimProcess;

// The simulator's stored program, from its "image" listing.
std::vector<uint8_t> SimImage(SimProcess& sim) {
    std::vector<uint8_t> bytes;
    std::istringstream rows(sim.Command("image").value_or(""));
    for (std::string row; std::getline(rows, row);) {
        std::istringstream cells(row.substr(row.find(':') + 1));
        for (std::string cell; cells >> cell;) bytes.push_back(static_cast<uint8_t>(std::stoi(cell, nullptr, 16)));
    }
    return bytes;
}

bool SimShows(SimProcess& sim, const std::string& text) {
    return sim.Command("show").value_or("").find(text) != std::string::npos;
}

void Press(QWidget& widget, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

class LinkDialogsTest : public testing::ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // The simulator is Com2 through the settings; the environment must not point elsewhere.
        for (int port = 0; port < PortCount; ++port) qunsetenv(PortEnvironmentName(port).c_str());
        ASSERT_TRUE(Start());
        frame().SetDialogs(nullptr);
    }

    // A simulator on Com2 (the default port).
    void Attach(SimProcess& sim) {
        ASSERT_TRUE(sim.ready()) << sim.err();
        app->settings().portDevices[1] = sim.device();
    }

    // A *.bld file with a short program.
    std::string WriteImage(const QString& name, std::initializer_list<uint8_t> program) {
        CodeImage image;
        std::copy(program.begin(), program.end(), image.bytes.begin());
        image.codeLength = static_cast<int32_t>(program.size());
        const std::string path = FilePath(name);
        EXPECT_TRUE(WriteImageFile(path, image, {1, 2, 2026}).ok);
        return path;
    }

    // Runs `command` with the script driving its dialogs; every step must have been taken.
    template <typename Command>
    void Drive(ModalScript& script, Command command) {
        command();
        EXPECT_TRUE(script.finished()) << "a dialog the script waited for never opened";
    }

    // Every progress line the busy window showed.
    void RecordBusyWindow(ModalScript& script) {
        script.transient = [](QWidget* modal) { return qobject_cast<BusyMessageWindow*>(modal) != nullptr; };
        script.watch = [this](QWidget* modal) {
            if (auto* busy = qobject_cast<BusyMessageWindow*>(modal)) {
                busyTexts.insert(busy->text().toStdString());
                busyProgress.insert(busy->progressText().toStdString());
            }
        };
    }

    std::set<std::string> busyTexts, busyProgress;
};

TEST_F(LinkDialogsTest, CompiledProgramReachesTheControllerAndTheCommandPanelRunsIt) {
    SimProcess sim;
    ASSERT_NO_FATAL_FAILURE(Attach(sim));
    const QString source = files.filePath("latch.ldr");
    ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORIN_SOURCE_DIR "/examples/latch.ldr"), source));
    ASSERT_TRUE(doc().LoadDocument(source));

    ModalScript script;
    RecordBusyWindow(script);
    script.On<CompileDialog>([](CompileDialog& box) { box.button()->click(); },
                             [](CompileDialog& box) { return box.button()->text() != "Cancelar"; });
    script.On<SendProgramDialog>([](SendProgramDialog& send) {
        EXPECT_EQ(send.fileField()->text(), "latch");
        EXPECT_EQ(send.idField()->fieldText(), "001");
        EXPECT_TRUE(send.forceBox()->isChecked());
        send.sendButton()->click();
    });
    script.On<CommandPanelDialog>([](CommandPanelDialog& panel) { panel.runButton()->click(); });
    // The run command has no reply: the panel stays until the controller is seen running.
    script.On<CommandPanelDialog>([](CommandPanelDialog& panel) { panel.exitButton()->click(); },
                                  [&sim](CommandPanelDialog&) { return SimShows(sim, "running (run mode 2)"); });
    Drive(script, [&] { frame().action(cmd::Compile)->trigger(); });

    EXPECT_EQ(prompts.informations, std::vector<std::string>{"Envío de programa OK!"});
    EXPECT_EQ(prompts.messages, prompts.informations);
    const std::vector<uint8_t> stored = SimImage(sim);
    ASSERT_EQ(stored.size(), 256u);
    EXPECT_TRUE(std::equal(stored.begin(), stored.end(), app->lastCompile().output.image.bytes.begin()));
    EXPECT_EQ(busyTexts, std::set<std::string>{"Enviando..."});
    EXPECT_TRUE(std::any_of(busyProgress.begin(), busyProgress.end(), [](const std::string& line) {
        return line.starts_with("265 de 265 bytes");
    })) << "the busy window showed no progress";
}

TEST_F(LinkDialogsTest, ExtractWritesTheControllersProgramWithItsDate) {
    const std::string program = WriteImage("stored.bld", {0x11, 0x22, 0x33});
    SimProcess sim({"--id", "7", "--image", program, "--date", "2026-03-01"});
    ASSERT_NO_FATAL_FAILURE(Attach(sim));
    app->settings().plcId = 7;
    const std::string out = FilePath("out.bld");
    prompts.fileAnswers = {out};

    ModalScript script;
    RecordBusyWindow(script);
    script.On<ExtractProgramDialog>([](ExtractProgramDialog& extract) {
        EXPECT_EQ(extract.idField()->fieldText(), "007");
        extract.receiveButton()->click();
    });
    Drive(script, [&] { frame().action(cmd::Extract)->trigger(); });

    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Guardar archivo binario");
    EXPECT_TRUE(prompts.fileRequests[0].save && prompts.fileRequests[0].confirmOverwrite);
    EXPECT_EQ(prompts.informations, std::vector<std::string>{"Extracción de programa OK!"});
    QFile file(QString::fromStdString(out));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    const QByteArray header("~VLB| 100r01 |256 rcv 01-02-2026 \n");
    ASSERT_EQ(written.size(), header.size() + 256);
    EXPECT_EQ(written.left(header.size()), header);
    EXPECT_EQ(written.mid(header.size(), 4), QByteArray("\x11\x22\x33\xCD"));
    EXPECT_EQ(busyTexts, std::set<std::string>{"Recibiendo..."});
    // It counted the controller's bytes as they came in.
    EXPECT_TRUE(std::any_of(busyProgress.begin(), busyProgress.end(),
                            [](const std::string& line) {
                                return line.find(" de 258 bytes") != std::string::npos && !line.starts_with("0 ") &&
                                       !line.starts_with("258 ");
                            }))
        << "last progress line: " << (busyProgress.empty() ? "" : *busyProgress.rbegin());

    // Three bytes no diagram compiles to: no offer, the reason, nothing opened.
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1], "No se pudo reconstruir el diagrama");
    EXPECT_TRUE(prompts.offers.empty());
    EXPECT_FALSE(doc().modified());

    // Received but not stored: the file's own message, never the success,
    // and nothing to offer.
    prompts.fileAnswers = {FilePath("missing/out.bld")};
    script.On<ExtractProgramDialog>([](ExtractProgramDialog& extract) { extract.receiveButton()->click(); });
    Drive(script, [&] { frame().action(cmd::Extract)->trigger(); });
    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[2], "Error al abrir el archivo");
    EXPECT_NE(prompts.details[2].find("missing"), std::string::npos);
    EXPECT_EQ(prompts.informations.size(), 1u);
}

// The field case the way back exists for: the machine runs, its source is
// lost. The program read out of the controller opens as a diagram that has
// no file and compiles to the same bytes, and leaving it asks first.
TEST_F(LinkDialogsTest, ExtractedProgramOpensAsADiagramThatCompilesToTheSameImage) {
    auto source = std::make_unique<ProgramModel>();
    ResetModel(*source);
    ASSERT_TRUE(ReadSourceFile(*source, VELMORIN_SOURCE_DIR "/examples/jump.ldr"));
    const CompileOutput compiled = velmorin::Compile(*source);
    ASSERT_TRUE(compiled.finalImage);
    const std::string stored = FilePath("stored.bld");
    ASSERT_TRUE(WriteImageFile(stored, compiled.image, {1, 2, 2026}));
    SimProcess sim({"--image", stored});
    ASSERT_NO_FATAL_FAILURE(Attach(sim));
    prompts.fileAnswers = {FilePath("out.bld")};
    prompts.actionAnswers = {true};

    ModalScript script;
    script.On<ExtractProgramDialog>([](ExtractProgramDialog& extract) { extract.receiveButton()->click(); });
    Drive(script, [&] { frame().action(cmd::Extract)->trigger(); });

    EXPECT_EQ(prompts.informations, std::vector<std::string>{"Extracción de programa OK!"});
    ASSERT_EQ(prompts.offers.size(), 1u);
    EXPECT_EQ(prompts.offers[0].action, "Abrir como diagrama");
    EXPECT_TRUE(doc().currentPath().isEmpty());
    EXPECT_TRUE(doc().modified());
    EXPECT_EQ(frame().windowTitle(), QString::fromUtf8("Sin título - velmorin"));
    const CompileOutput again = velmorin::Compile(doc().model());
    ASSERT_TRUE(again.finalImage);
    EXPECT_EQ(
        std::vector<uint8_t>(again.image.bytes.begin(), again.image.bytes.begin() + again.image.codeLength),
        std::vector<uint8_t>(compiled.image.bytes.begin(), compiled.image.bytes.begin() + compiled.image.codeLength));

    prompts.yesNoAnswers = {false};
    EXPECT_FALSE(frame().close());
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].text, "El diagrama fue editado. Descarta los cambios?");
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(LinkDialogsTest, SilentControllerGivesTheSendErrorAfterFiveSeconds) {
    SimProcess sim({"--fault", "silent"});
    ASSERT_NO_FATAL_FAILURE(Attach(sim));
    // No compilation in memory: the program comes from a file.
    prompts.fileAnswers = {WriteImage("motor.v2.bld", {0x01, 0x02})};

    ModalScript script;
    RecordBusyWindow(script);
    script.On<SendProgramDialog>([](SendProgramDialog& send) {
        EXPECT_EQ(send.fileField()->text(), "motor");
        send.sendButton()->click();
    });
    Drive(script, [&] { frame().action(cmd::Send)->trigger(); });

    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Abrir archivo binario");
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Error al enviar programa"});
    EXPECT_TRUE(prompts.informations.empty());
    // The wait was shown as it ran, into its last second.
    EXPECT_TRUE(std::any_of(busyProgress.begin(), busyProgress.end(),
                            [](const std::string& line) { return line.starts_with("265 de 265 bytes, 4,"); }))
        << "last progress line: " << (busyProgress.empty() ? "" : *busyProgress.rbegin());
}

TEST_F(LinkDialogsTest, SendDialogFieldsDecideTheBytesSent) {
    SimProcess sim({"--id", "7"});
    ASSERT_NO_FATAL_FAILURE(Attach(sim));
    TransferMemory memory{7, true, 0x1234};
    ProgramToSend program;
    program.image.bytes[0] = 0x42;
    program.image.codeLength = 1;
    program.title = "uno";
    SendProgramDialog send(program, memory, LinkAccess{&app->ControllerLink(), 1, &app->clock()}, prompts,
                           files.path().toStdString());
    send.show();
    const ImageDate date{15, 2, 2027};

    // "Forzar...": byte 0 is 0 whatever the identifier shows, and the identifier cannot be changed.
    EXPECT_EQ(send.idField()->fieldText(), "007");
    EXPECT_FALSE(send.idField()->isEnabled());
    EXPECT_EQ(send.request(date).targetId, 0);
    send.forceBox()->click();
    EXPECT_TRUE(send.idField()->isEnabled());
    EXPECT_EQ(send.request(date).targetId, 7);

    // "Habilitar" off: the fields kept from the last opening are shown but not sent.
    PasswordGroup& password = *send.passwordGroup();
    EXPECT_EQ(password.highField()->fieldText(), "12");
    EXPECT_EQ(password.lowField()->fieldText(), "34");
    EXPECT_FALSE(password.highField()->isEnabled());
    EXPECT_EQ(send.request(date).password, 0);
    password.enableBox()->click();
    EXPECT_TRUE(password.highField()->isEnabled());
    EXPECT_EQ(send.request(date).password, 0x1234);
    password.enableBox()->click();

    // The arrows step the field; the keyboard does not type into it.
    Press(*send.newIdField(), Qt::Key_Up);
    Press(*send.newIdField(), Qt::Key_5);
    EXPECT_EQ(send.newIdField()->fieldText(), "008");

    // A refused file leaves the program and its name as they were.
    const std::string bogus = FilePath("bogus.bld");
    QFile junk(QString::fromStdString(bogus));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an image\n");
    junk.close();
    prompts.fileAnswers = {bogus};
    send.browseButton()->click();
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"No es un archivo binario Ladder Vadri"});
    EXPECT_EQ(send.fileField()->text(), "uno");
    EXPECT_EQ(send.program().image.bytes[0], 0x42);

    // Identifier 7 reaches controller 7, which takes identifier 8 and keeps the program.
    send.sendButton()->click();
    EXPECT_EQ(prompts.informations, std::vector<std::string>{"Envío de programa OK!"});
    EXPECT_TRUE(send.sent());
    EXPECT_FALSE(send.isVisible());
    EXPECT_TRUE(SimShows(sim, "controller 8,"));
    EXPECT_EQ(SimImage(sim)[0], 0x42);
    // What the next opening starts from.
    EXPECT_EQ(memory.plcId, 8);
    EXPECT_FALSE(memory.anyController);
    EXPECT_EQ(memory.password, 0x1234);
}

TEST_F(LinkDialogsTest, CommandPanelAddressesOneControllerAndKeepsItsChoices) {
    SimProcess sim({"--id", "12", "--rom", "1234"});
    ASSERT_NO_FATAL_FAILURE(Attach(sim));
    ModalScript script;
    script.On<CommandPanelDialog>([](CommandPanelDialog& panel) {
        // First use: "Mantiene Variables", outputs kept, every controller, identifier 1.
        EXPECT_TRUE(panel.portOpen());
        EXPECT_TRUE(panel.runModeButton(RunMode::KeepVariables)->isChecked());
        EXPECT_FALSE(panel.outputsOffBox()->isChecked());
        EXPECT_TRUE(panel.allBox()->isChecked());
        EXPECT_EQ(panel.idField()->fieldText(), "001");
        EXPECT_FALSE(panel.idField()->isEnabled());
        EXPECT_FALSE(panel.romButton()->isEnabled());
        // With "Todos" a stop reaches controller 12 whatever the field says.
        panel.outputsOffBox()->click();
        panel.stopButton()->click();
    });
    script.On<CommandPanelDialog>(
        [](CommandPanelDialog& panel) {
            panel.allBox()->click();
            EXPECT_TRUE(panel.idField()->isEnabled());
            EXPECT_TRUE(panel.romButton()->isEnabled());
            panel.idField()->setValue(11);
            Press(*panel.idField(), Qt::Key_Up);
            panel.runModeButton(RunMode::ResetTotal)->click();
            panel.resetCountersButton()->click();
        },
        [&sim](CommandPanelDialog&) { return SimShows(sim, "last: stop, outputs off"); });
    script.On<CommandPanelDialog>([](CommandPanelDialog& panel) { panel.romButton()->click(); },
                                  [&sim](CommandPanelDialog&) { return SimShows(sim, "last: reset counters"); });
    script.On<CommandPanelDialog>([](CommandPanelDialog& panel) { testing::PressEscape(panel); },
                                  [](CommandPanelDialog& panel) { return !panel.romField()->text().isEmpty(); });
    Drive(script, [&] { frame().action(cmd::Commands)->trigger(); });

    const AppSettings& settings = app->settings();
    EXPECT_EQ(settings.plcId, 12);
    EXPECT_EQ(settings.setRunMode, 1069);
    EXPECT_EQ(settings.setStopMode, 1);
    EXPECT_EQ(settings.setIdAll, 0);

    // Reopened as it was left; the ROM field showed the controller's version.
    QString rom;
    script.On<CommandPanelDialog>([](CommandPanelDialog& panel) {
        EXPECT_TRUE(panel.runModeButton(RunMode::ResetTotal)->isChecked());
        EXPECT_TRUE(panel.outputsOffBox()->isChecked());
        EXPECT_FALSE(panel.allBox()->isChecked());
        EXPECT_EQ(panel.idField()->fieldText(), "012");
        panel.romButton()->click();
    });
    script.On<CommandPanelDialog>(
        [&rom](CommandPanelDialog& panel) {
            rom = panel.romField()->text();
            panel.exitButton()->click();
        },
        [](CommandPanelDialog& panel) { return !panel.romQueryRunning() && !panel.romField()->text().isEmpty(); });
    Drive(script, [&] { frame().action(cmd::Commands)->trigger(); });
    EXPECT_EQ(rom, "1234");
    EXPECT_TRUE(prompts.messages.empty());

    // A port that cannot be opened: the link's message and no panel.
    app->settings().portDevices[1] = FilePath("no-such-device");
    Drive(script, [&] { frame().action(cmd::Commands)->trigger(); });
    EXPECT_EQ(prompts.messages, std::vector<std::string>{"Error -1 - 0 en comunicación"});
    // The box's second line names the device and the system's reason.
    EXPECT_EQ(prompts.details,
              std::vector<std::string>{FilePath("no-such-device") + ": No existe el fichero o el directorio"});
}

TEST_F(LinkDialogsTest, PortDialogKeepsTheFirstCheckedPortAndTheDevicesHoweverItCloses) {
    qputenv("VELMORIN_COM4", "/tmp/fixed-by-environment");
    ModalScript script;
    script.On<PortSelectDialog>([](PortSelectDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Selecciona puerto serie");
        EXPECT_TRUE(dialog.portButton(1)->isChecked());
        EXPECT_EQ(dialog.deviceBox(0)->currentText(), "/dev/ttyS0");
        EXPECT_FALSE(dialog.deviceBox(3)->isEnabled());
        EXPECT_EQ(dialog.deviceBox(3)->currentText(), "/tmp/fixed-by-environment");
        dialog.portButton(2)->click();
        dialog.deviceBox(2)->setEditText(" /dev/ttyUSB7 ");
        testing::PressEscape(dialog);
    });
    Drive(script, [&] { frame().action(cmd::SerialPort)->trigger(); });
    qunsetenv("VELMORIN_COM4");
    EXPECT_EQ(app->settings().commPort, 2);
    const std::array<std::string, PortCount> devices{"", "", "/dev/ttyUSB7", ""};
    EXPECT_EQ(app->settings().portDevices, devices);

    // Kept in a group of their own at exit, and read back at the next start.
    ASSERT_TRUE(frame().close());
    EXPECT_EQ(testing::Store().value("Ports/Com3").toString(), "/dev/ttyUSB7");
    EXPECT_FALSE(testing::Store().contains("Ports/Com1"));
    EXPECT_EQ(testing::Store().value("Settings/CommPort").toInt(), 2);
    app.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->settings().portDevices, devices);
}

}  // namespace
}  // namespace velmorin
