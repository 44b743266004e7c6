#include "ui/ElementTools.h"

namespace velmorin {

const ElementTool* FindElementTool(int kind) {
    for (const ElementTool& tool : ElementTools)
        if (tool.kind == kind) return &tool;
    return nullptr;
}

QString PromptStatusText(const char* prompt) {
    const QString text = QString::fromUtf8(prompt ? prompt : "");
    const qsizetype split = text.indexOf(u'\n');
    return split < 0 ? text : text.left(split);
}

QString PromptToolTip(const char* prompt) {
    const QString text = QString::fromUtf8(prompt ? prompt : "");
    const qsizetype split = text.indexOf(u'\n');
    return split < 0 ? QString() : text.mid(split + 1);
}

}  // namespace velmorin
