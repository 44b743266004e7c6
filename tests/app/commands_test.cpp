#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWhatsThis>
#include <QWindow>

#include "app/AboutDialog.h"
#include "app/CommandTable.h"
#include "app/HelpWindow.h"
#include "compiler/ui/BudgetIndicator.h"
#include "editor/ui/CVelmorinView.h"
#include "model/tool_state.h"
#include "shell_test_support.h"
#include "support/gui_wait.h"

#include <functional>

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

    // Runs `act`, closing (and naming) every modal box it opens on the way.
    QStringList ClosingBoxes(const std::function<void()>& act) {
        QStringList boxes;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                boxes << box->metaObject()->className();
                box->reject();
            }
        });
        closer.start(10);
        act();
        return boxes;
    }

    std::vector<std::string>& opened = dialogs.opened;
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

// The menus print "Ctrl+A", "Ctrl+G" and "Ctrl+I"; those keys act as well
// as Ctrl+O, Ctrl+S and Ctrl+P.
TEST_F(CommandsTest, TheKeysTheMenusShowActToo) {
    EXPECT_EQ(frame().action(cmd::FileOpen)->text(), "&Abrir...\tCtrl+A");
    EXPECT_EQ(frame().action(cmd::FileSave)->text(), "&Guardar\tCtrl+G");
    EXPECT_EQ(frame().action(cmd::FilePrint)->text(), "&Imprimir...\tCtrl+I");
    for (const Qt::Key key : {Qt::Key_O, Qt::Key_A}) {
        prompts.fileAnswers = {std::nullopt};
        Press(key, Qt::ControlModifier);
    }
    for (const Qt::Key key : {Qt::Key_S, Qt::Key_G}) {
        prompts.fileAnswers = {std::nullopt};
        Press(key, Qt::ControlModifier);
    }
    std::vector<std::string> titles;
    for (const FileDialogRequest& request : prompts.fileRequests) titles.push_back(request.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Abrir archivo fuente", "Abrir archivo fuente",
                                                "Guardar archivo fuente", "Guardar archivo fuente"}));
    for (const Qt::Key key : {Qt::Key_P, Qt::Key_I}) {
        EXPECT_EQ(ClosingBoxes([&] { Press(key, Qt::ControlModifier); }), QStringList{"QPrintDialog"}) << key;
    }
}

// A menu entry shows the key text of its caption and nothing else: Alt+X
// and Alt+P act without printing a shortcut their captions do not have.
TEST_F(CommandsTest, MenusShowNoKeyTextBeyondTheirCaptions) {
    for (QAction* menu : frame().menuBar()->actions()) {
        for (QAction* action : menu->menu()->actions()) {
            if (action->isSeparator()) continue;
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
        }
    }
    EXPECT_EQ(frame().action(cmd::Extract)->text(), "E&xtraer programa");
    EXPECT_EQ(frame().action(cmd::SerialPort)->text(), "&Puerto Serie");
}

TEST_F(CommandsTest, MenusInOrder) {
    QStringList titles;
    for (QAction* menu : frame().menuBar()->actions()) titles << menu->text();
    EXPECT_EQ(titles, (QStringList{"&Archivo", "&Elementos", "&Herramientas", "&Ver", "Ay&uda"}));

    QStringList elements;
    for (QAction* action : frame().menuBar()->actions()[1]->menu()->actions()) elements << action->text();
    EXPECT_EQ(elements, (QStringList{"VERT",
                                     "HORIZ",
                                     "LD",
                                     "LDN",
                                     "OUT",
                                     "IF",
                                     "CAJA1",
                                     "CAJA2",
                                     "CNTV",
                                     "",
                                     "&Buscar...\tCtrl+B",
                                     "Buscar &siguiente\tF3",
                                     QString::fromUtf8("Buscar an&terior\tMayús+F3"),
                                     "",
                                     "&Insertar bloque",
                                     "Eli&minar bloque",
                                     "S&ubir bloque",
                                     "Ba&jar bloque",
                                     "",
                                     "&Deshacer\tCtrl+Z",
                                     "&Rehacer\tCtrl+Y"}));
}

TEST_F(CommandsTest, ToolBarOrder) {
    EXPECT_EQ(ToolBarIds(),
              (std::vector<int>{57600, 57601, 57603, 0, 32786, 32777, 32778, 32779, 32771, 32775, 32772,
                                32780, 32774, 32776, 0, 32785, 32811, 32783, 32784, 0,     57607, 57670}));
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

// Each element tool lays down a kind of its own: the contacts, the coil,
// the boxes, the wires, the two-row counter's lower half and the eraser.
TEST_F(CommandsTest, EachToolCommandSelectsItsOwnKind) {
    const struct {
        int id;
        int kind;
    } tools[] = {
        {cmd::ToolVertical, KindVertical},
        {cmd::ToolHorizontal, KindHorizontal},
        {cmd::ToolLd, KindContactOpen},
        {cmd::ToolLdn, KindContactClosed},
        {cmd::ToolOut, KindCoil},
        {cmd::ToolIf, KindConditional},
        {cmd::ToolBoxOneSided, KindBoxOneSided},
        {cmd::ToolBoxTwoSided, KindBoxTwoSided},
        {cmd::ToolCounter, KindBoxLowerHalf},
        {cmd::ToolDelete, KindBlank},
    };
    const ToolState& state = frame().view()->toolState();
    for (const auto& tool : tools) {
        frame().action(tool.id)->trigger();
        EXPECT_EQ(state.currentTool(), tool.kind) << tool.id;
        frame().action(tool.id)->trigger();
        EXPECT_EQ(state.currentTool(), NoTool) << tool.id;
    }
}

TEST_F(CommandsTest, ElementToolsExplainThemselves) {
    int tools = 0;
    for (const CommandDef& command : CommandTable) {
        if (command.tool == NotATool) continue;
        ++tools;
        SCOPED_TRACE(command.id);
        QAction* action = frame().action(command.id);
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(action->isCheckable());
        EXPECT_FALSE(action->toolTip().isEmpty());
        EXPECT_FALSE(action->statusTip().isEmpty());
        EXPECT_EQ(action->whatsThis(), action->statusTip());
    }
    EXPECT_EQ(tools, 10);
    EXPECT_EQ(frame().action(cmd::ToolCounter)->toolTip(), "CNTV");
    EXPECT_EQ(frame().action(cmd::ToolIf)->toolTip(), "IF1,IF0,IFV1,JP1,JP0,JPV1");
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

    // At the first-start size no prompt moves or cuts the live budget.
    frame().resize(670, 400);
    frame().show();
    QApplication::processEvents();
    const QRect budget = frame().budgetIndicator()->geometry();
    EXPECT_LE(budget.right(), frame().statusBar()->contentsRect().right());
    EXPECT_GE(budget.width(), frame().budgetIndicator()->sizeHint().width());
    for (const CommandDef& command : CommandTable) {
        QAction* action = frame().action(command.id);
        if (action == nullptr || action->statusTip().isEmpty()) continue;
        action->showStatusText(frame().toolBar());
        QApplication::processEvents();
        EXPECT_EQ(frame().budgetIndicator()->geometry(), budget) << action->statusTip().toStdString();
    }

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
    dialogs.sendResults = {false, true};
    frame().action(cmd::Send)->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{"send"}));
    opened.clear();
    frame().action(cmd::Send)->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{"send", "commands"}));
}

// The application keeps the values; the dialogs start from them and hand
// back what the user chose.
TEST_F(CommandsTest, ThePortAndTheSplashCounterComeBackToTheApplication) {
    ASSERT_EQ(app->settings().commPort, 1);
    dialogs.portResults = {std::nullopt, 3};
    frame().action(cmd::SerialPort)->trigger();
    EXPECT_EQ(app->settings().commPort, 1);
    frame().action(cmd::SerialPort)->trigger();
    EXPECT_EQ(app->settings().commPort, 3);
    EXPECT_EQ(dialogs.portsOffered, (std::vector<int>{1, 1}));

    dialogs.aboutResults = {100, 100};
    frame().action(cmd::AppAbout)->trigger();
    frame().action(cmd::AppAbout)->trigger();
    EXPECT_EQ(dialogs.splashCounters, (std::vector<int>{0, 100}));
    EXPECT_EQ(app->splashCounter(), 100);
}

// The splash comes once the window is on the screen, and only then.
TEST_F(ShellTest, TheSplashOpensOnceTheWindowHasBeenPainted) {
    app = std::make_unique<CVelmorinApp>();
    app->SetPrompts(&prompts);
    ASSERT_TRUE(app->InitInstance(StartOptions{}));
    frame().SetDialogs(&dialogs);
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter;
    frame().installEventFilter(&counter);
    int paintsBeforeSplash = -1;
    dialogs.aboutRunner = [&](int) {
        paintsBeforeSplash = counter.paints;
        return AboutDialog::ShownCounter;
    };
    ASSERT_TRUE(testing::ProcessEventsUntil([&] { return !dialogs.splashCounters.empty(); }));
    EXPECT_GT(paintsBeforeSplash, 0);
    frame().repaint();
    QApplication::processEvents();
    EXPECT_EQ(dialogs.splashCounters, (std::vector<int>{0}));
    EXPECT_EQ(app->splashCounter(), AboutDialog::ShownCounter);
    frame().removeEventFilter(&counter);
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
    HelpWindow* first = frame().helpWindow();
    frame().action(cmd::HelpTopics)->trigger();
    EXPECT_EQ(frame().helpWindow(), first);
    EXPECT_EQ(first->windowTitle(), "Temas de ayuda");
    EXPECT_FALSE(first->isModal());
    // A Spanish guide to the keys and to the road from diagram to controller, in its order.
    const QString text = first->browser()->toPlainText();
    for (const char* keys : {"Ctrl+N", "Ctrl+O, Ctrl+A", "Ctrl+S, Ctrl+G", "Ctrl+P, Ctrl+I", "Alt+X", "Alt+P"}) {
        EXPECT_TRUE(text.contains(QLatin1StringView(keys))) << keys;
    }
    EXPECT_TRUE(text.contains(QString::fromUtf8("F1, Mayús+F1")));
    // Undo and redo, and the keys the diagram handles itself.
    for (const char* keys : {"Ctrl+Z, Alt+Retroceso", "Ctrl+Y, Ctrl+Mayús+Z", "Ctrl+X, Mayús+Supr", "Intro",
                             "Alt+Flecha", "Mayús+Flechas"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(keys))) << keys;
    }
    qsizetype at = 0;
    for (const char* step : {"Dibujar", "Dar los operandos", "Guardar", "Compilar", "Enviar", "Ejecutar", "Observar"}) {
        at = text.indexOf(QString::fromUtf8(step), at);
        ASSERT_GE(at, 0) << step;
    }
    // Every command of every menu is named.
    for (const MenuDef& menu : MenuTable) {
        for (const int id : menu.items) {
            const CommandDef* command = FindCommand(id);
            if (command == nullptr || command->caption == nullptr) continue;
            QString caption = QString::fromUtf8(command->caption).section(u'\t', 0, 0).remove(u'&');
            if (caption.endsWith(QStringLiteral("..."))) caption.chop(3);
            EXPECT_TRUE(text.contains(caption)) << caption.toStdString();
        }
    }
    EXPECT_TRUE(text.contains(QStringLiteral("Exportar PDF...")));
    // How the program stops, that the live diagram has no colours before
    // "Recibir", and that the simulated controller runs no program.
    EXPECT_TRUE(text.contains(QStringLiteral("Detener Programa")));
    const qsizetype graphic = text.indexOf(QString::fromUtf8("Gráfico"));
    const qsizetype receive = text.indexOf(QStringLiteral("Recibir"), graphic);
    ASSERT_GT(graphic, 0);
    EXPECT_GT(receive, graphic);
    EXPECT_LT(receive, text.indexOf(QStringLiteral("colorea"), graphic));
    EXPECT_TRUE(text.contains(QStringLiteral("no ejecuta el programa")));

    for (int key : {0, 1}) {
        Press(Qt::Key_F1, key == 0 ? Qt::NoModifier : Qt::ShiftModifier);
        EXPECT_TRUE(QWhatsThis::inWhatsThisMode()) << key;
        QWhatsThis::leaveWhatsThisMode();
    }
    EXPECT_EQ(frame().action(cmd::Compile)->whatsThis(), "Compila el LADDER");
}

TEST_F(CommandsTest, PrintingCountsTwelveRowsToAPortraitPage) {
    ProgramModel& model = doc().model();
    CVelmorinView& view = *frame().view();
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("diagram.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    EXPECT_EQ(view.PageCount(printer), 1);
    model.grid.at(12, 8).shape = KindCoil;
    EXPECT_EQ(view.PageCount(printer), 1);
    model.grid.at(13, 1).shape = KindHorizontal;
    EXPECT_EQ(view.PageCount(printer), 2);
    // The rails do not count.
    model.grid.at(96, 0).shape = KindCornerUpRight;
    EXPECT_EQ(view.PageCount(printer), 2);
    model.grid.at(96, 5).shape = KindVertical;
    EXPECT_EQ(view.PageCount(printer), 8);

    // Printing emits one sheet per page.
    model.grid.at(96, 5).shape = ShapeEmpty;
    view.PrintDocument(printer);
    QFile pdf(folder.filePath("diagram.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n"), 2);
}

}  // namespace
}  // namespace velmorin
