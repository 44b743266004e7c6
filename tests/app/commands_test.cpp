#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <QWindow>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "app/CHelpWindow.h"
#include "app/CommandTable.h"
#include "editor/ui/CVelmorinView.h"
#include "model/tool_state.h"
#include "shell_test_support.h"

// Delivers a key through the window system layer, so that it meets the
// shortcut map exactly as a real key press would.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text, bool autorepeat, ushort count);

namespace velmorin {
namespace {

using testing::ShellTest;

class CommandsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        ASSERT_TRUE(Start());
        frame().dialogs() = {};
        frame().dialogs().errorList = [this] { opened.push_back("errorList"); };
        frame().dialogs().send = [this] { opened.push_back("send"); };
        frame().dialogs().extract = [this] { opened.push_back("extract"); };
        frame().dialogs().monitor = [this] { opened.push_back("monitor"); };
        frame().dialogs().commands = [this] { opened.push_back("commands"); };
        frame().dialogs().serialPort = [this] { opened.push_back("serialPort"); };
    }

    void Press(int key, Qt::KeyboardModifiers modifiers) {
        QApplication::setActiveWindow(&frame());
        frame().activateWindow();
        QApplication::processEvents();
        QWindow* window = frame().windowHandle();
        ASSERT_NE(window, nullptr);
        qt_handleKeyEvent(window, QEvent::KeyPress, key, modifiers, QString(), false, 1);
        qt_handleKeyEvent(window, QEvent::KeyRelease, key, modifiers, QString(), false, 1);
    }

    std::vector<int> ToolBarIds() {
        std::vector<int> ids;
        for (QAction* action : frame().toolBar()->actions()) {
            ids.push_back(action->isSeparator() ? 0 : action->data().toInt());
        }
        return ids;
    }

    std::vector<std::string> opened;
};

TEST_F(CommandsTest, KeysReachTheirCommands) {
    doc().SetModified(true);
    prompts.yesNoAnswers = {false};
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(prompts.questions.size(), 1u);
    EXPECT_EQ(prompts.questions[0].caption, "Descartar");

    doc().SetModified(false);
    prompts.fileAnswers = {std::nullopt};
    Press(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(prompts.fileRequests.size(), 1u);
    EXPECT_EQ(prompts.fileRequests[0].title, "Abrir archivo fuente");

    prompts.fileAnswers = {std::nullopt};
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(prompts.fileRequests.size(), 2u);
    EXPECT_EQ(prompts.fileRequests[1].title, "Guardar archivo fuente");

    Press(Qt::Key_X, Qt::AltModifier);
    Press(Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(opened, (std::vector<std::string>{"extract", "serialPort"}));
}

TEST_F(CommandsTest, TheShortcutTextShownIsNotTheKeyBound) {
    QAction* open = frame().action(cmd::FileOpen);
    EXPECT_EQ(open->text(), "&Abrir...\tCtrl+A");
    EXPECT_EQ(open->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame().action(cmd::FileSave)->text(), "&Guardar\tCtrl+G");
    EXPECT_EQ(frame().action(cmd::FilePrint)->shortcut(), QKeySequence("Ctrl+P"));

    // Ctrl+A and Ctrl+G are only printed in the menu: they open nothing.
    Press(Qt::Key_A, Qt::ControlModifier);
    Press(Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_TRUE(prompts.questions.empty());
}

TEST_F(CommandsTest, MenusInOrder) {
    QStringList titles;
    for (QAction* menu : frame().menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&Archivo", "&Elementos", "&Herramientas", "&Ver", "Ay&uda"}));

    QStringList elements;
    for (QAction* action : frame().menuBar()->actions()[1]->menu()->actions()) elements << action->text();
    EXPECT_EQ(elements, (QStringList{"VERT", "HORIZ", "LD", "LDN", "OUT", "IF", "CAJA1", "CAJA2", "CNTV"}));
}

TEST_F(CommandsTest, ToolBarOrder) {
    EXPECT_EQ(ToolBarIds(), (std::vector<int>{57600, 57601, 57603, 0, 32786, 32777, 32778, 32779, 32771, 32775,
                                              32772, 32780, 32774, 32776, 0, 32785, 32811, 32783, 32784, 0, 57607,
                                              57670}));
    EXPECT_EQ(frame().toolBar()->iconSize(), QSize(16, 16));
    for (QAction* action : frame().toolBar()->actions()) {
        if (!action->isSeparator()) {
            EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
        }
    }
}

TEST_F(CommandsTest, ToolCommandsToggleWithCheckMarks) {
    const ToolState& tools = frame().view()->toolState();
    QAction* ld = frame().action(cmd::ToolLd);
    QAction* out = frame().action(cmd::ToolOut);
    EXPECT_EQ(tools.currentTool(), NoTool);

    ld->trigger();
    EXPECT_EQ(tools.currentTool(), KindContactOpen);
    EXPECT_TRUE(ld->isChecked());

    // A second tool moves the check mark (the toggling itself is the tool state's).
    out->trigger();
    EXPECT_EQ(tools.currentTool(), KindCoil);
    EXPECT_FALSE(ld->isChecked());
    EXPECT_TRUE(out->isChecked());

    // The toolbar button is the same command.
    auto* button = qobject_cast<QToolButton*>(frame().toolBar()->widgetForAction(out));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_EQ(tools.currentTool(), NoTool);
    EXPECT_FALSE(button->isChecked());

    auto* erase = qobject_cast<QToolButton*>(frame().toolBar()->widgetForAction(frame().action(cmd::ToolDelete)));
    ASSERT_NE(erase, nullptr);
    erase->click();
    EXPECT_EQ(tools.currentTool(), KindBlank);
    EXPECT_TRUE(frame().action(cmd::ToolDelete)->isChecked());
}

TEST_F(CommandsTest, AToolChosenInTheViewMovesTheCheckMark) {
    frame().action(cmd::ToolLd)->trigger();
    frame().view()->toolState().SelectTool(KindHorizontal);
    frame().view()->NotifyToolChanged();
    EXPECT_FALSE(frame().action(cmd::ToolLd)->isChecked());
    EXPECT_TRUE(frame().action(cmd::ToolHorizontal)->isChecked());
}

TEST_F(CommandsTest, ElementToolsExplainThemselves) {
    for (const ElementToolCommand& tool : ElementToolCommands) {
        SCOPED_TRACE(tool.id);
        QAction* action = frame().action(tool.id);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->toolTip(), QString::fromUtf8(tool.mnemonic));
        EXPECT_FALSE(action->statusTip().isEmpty());
        EXPECT_EQ(action->whatsThis(), action->statusTip());
    }
    EXPECT_EQ(frame().action(cmd::ToolLd)->statusTip(), "Inserta una carga de acumulador ");
    EXPECT_EQ(frame().action(cmd::ToolDelete)->statusTip(), "Elimina un elemento");
}

TEST_F(CommandsTest, StatusPaneShowsPromptsAndFallsBackToIdle) {
    QLabel* pane = frame().messagePane();
    EXPECT_EQ(pane->text(), "Preparado");
    QAction* compile = frame().action(cmd::Compile);
    EXPECT_EQ(compile->toolTip(), "Compilar");
    compile->showStatusText(frame().toolBar());
    EXPECT_EQ(pane->text(), "Compila el LADDER");
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(frame().toolBar(), &leave);
    EXPECT_EQ(pane->text(), "Preparado");

    frame().action(cmd::SerialPort)->showStatusText(frame().menuBar());
    EXPECT_EQ(pane->text(), QString::fromUtf8("Asigna el puerto de comunicación RS232 con PLC"));

    QStringList indicators;
    for (const char* name : {"MAY", "NUM", "DESP"}) {
        auto* label = frame().statusBar()->findChild<QLabel*>(QStringLiteral("lockIndicator%1").arg(name));
        ASSERT_NE(label, nullptr) << name;
        indicators << label->text();
    }
    EXPECT_EQ(indicators, (QStringList{"MAY", "NUM", "DESP"}));
}

TEST_F(CommandsTest, EachLaterDialogHasItsOwnRoute) {
    for (int id : {cmd::Extract, cmd::Monitor, cmd::Commands, cmd::SerialPort, cmd::ErrorList}) {
        EXPECT_TRUE(frame().action(id)->isEnabled()) << id;
        frame().action(id)->trigger();
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"extract", "monitor", "commands", "serialPort", "errorList"}));
}

TEST_F(CommandsTest, SendOpensTheCommandPanelOnlyAfterASuccessfulSend) {
    bool sendSucceeds = false;
    frame().dialogs().send = [&] {
        opened.push_back("send");
        app->sendThenCommands() = sendSucceeds;
    };
    app->sendThenCommands() = true;  // left over from an earlier send
    frame().action(cmd::Send)->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{"send"}));

    opened.clear();
    sendSucceeds = true;
    frame().action(cmd::Send)->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{"send", "commands"}));
}

TEST_F(CommandsTest, TheLiveMonitorBarWaitsHidden) {
    QToolBar* live = frame().liveBar();
    ASSERT_NE(live, nullptr);
    EXPECT_FALSE(live->isVisible());
    EXPECT_TRUE(frame().toolBar()->isVisible());
    QStringList buttons;
    for (QPushButton* button : live->findChildren<QPushButton*>()) buttons << button->text();
    EXPECT_EQ(buttons, (QStringList{"Recibir", "Salir"}));
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(frame().liveIndicator(i), nullptr);
        EXPECT_EQ(frame().liveIndicator(i)->size(), QSize(9, 9));
    }
}

TEST_F(CommandsTest, HelpTopicsOpenOneGuideAndF1EntersWhatsThis) {
    EXPECT_EQ(frame().helpWindow(), nullptr);
    frame().action(cmd::HelpTopics)->trigger();
    ASSERT_NE(frame().helpWindow(), nullptr);
    EXPECT_TRUE(frame().helpWindow()->isVisible());
    CHelpWindow* first = frame().helpWindow();
    frame().action(cmd::HelpTopics)->trigger();
    EXPECT_EQ(frame().helpWindow(), first);
    EXPECT_EQ(first->windowTitle(), "Temas de ayuda");
    EXPECT_FALSE(first->isModal());
    // A Spanish guide to the keys and to the road from diagram to controller, in its order.
    const QString text = first->browser()->toPlainText();
    for (const char* key : {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+P", "Alt+X", "Alt+P", "F1"}) {
        EXPECT_TRUE(text.contains(QLatin1StringView(key))) << key;
    }
    qsizetype at = 0;
    for (const char* step : {"Dibujar", "Dar los operandos", "Guardar", "Compilar", "Enviar", "Ejecutar"}) {
        at = text.indexOf(QString::fromUtf8(step), at);
        ASSERT_GE(at, 0) << step;
    }

    for (int key : {0, 1}) {
        Press(Qt::Key_F1, key == 0 ? Qt::NoModifier : Qt::ShiftModifier);
        EXPECT_TRUE(QWhatsThis::inWhatsThisMode()) << key;
        QWhatsThis::leaveWhatsThisMode();
    }
    EXPECT_EQ(frame().action(cmd::Compile)->whatsThis(), "Compila el LADDER");
}

TEST_F(CommandsTest, PrintingCountsTwelveRowsToAPage) {
    ProgramModel& model = doc().model();
    CVelmorinView& view = *frame().view();
    EXPECT_EQ(view.PageCount(), 1);
    model.grid.at(12, 8).shape = KindCoil;
    EXPECT_EQ(view.PageCount(), 1);
    model.grid.at(13, 1).shape = KindHorizontal;
    EXPECT_EQ(view.PageCount(), 2);
    // The rails do not count.
    model.grid.at(96, 0).shape = KindCornerUpRight;
    EXPECT_EQ(view.PageCount(), 2);
    model.grid.at(96, 5).shape = KindVertical;
    EXPECT_EQ(view.PageCount(), 8);

    // Printing emits one sheet per page.
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("diagram.pdf"));
    model.grid.at(96, 5).shape = ShapeEmpty;
    view.PrintDocument(printer);
    QFile pdf(folder.filePath("diagram.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n"), 2);
}

}  // namespace
}  // namespace velmorin
