#include "app/CHelpWindow.h"

#include <QTextBrowser>
#include <gtest/gtest.h>

namespace velmorin {
namespace {

TEST(HelpWindow, SpanishGuideToCommandsKeysAndTheMainRoad) {
    CHelpWindow window;
    EXPECT_EQ(window.windowTitle(), "Temas de ayuda");
    EXPECT_FALSE(window.isModal());
    const QString text = window.browser()->toPlainText();
    for (const char* key : {"Ctrl+N", "Ctrl+O", "Ctrl+S", "Ctrl+P", "Alt+X", "Alt+P", "F1"}) {
        EXPECT_TRUE(text.contains(QLatin1StringView(key))) << key;
    }
    // The road from the diagram to the controller, in its order.
    qsizetype at = 0;
    for (const char* step : {"Dibujar", "Dar los operandos", "Guardar", "Compilar", "Enviar", "Ejecutar"}) {
        const qsizetype found = text.indexOf(QString::fromUtf8(step), at);
        ASSERT_GE(found, 0) << step;
        at = found;
    }
}

}  // namespace
}  // namespace velmorin
