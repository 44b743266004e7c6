#include "editor/ui/PaletteDialog.h"

#include <QCloseEvent>
#include <QIcon>
#include <QPushButton>
#include <QToolButton>

#include "model/cell_kinds.h"
#include "ui/DialogUnits.h"
#include "ui/ElementTools.h"
#include "ui/Resources.h"

namespace velmorin {

namespace {

// Places in dialog units; the icons are the toolbar's, found by the tool's kind.
struct PaletteButton {
    int id;
    int x, y;
    int kind;
};

constexpr std::array<PaletteButton, PaletteDialog::ToolButtonCount> PaletteLayout = {{
    {1166, 3, 3, KindBlank},
    {1174, 3, 25, KindHorizontal},
    {1175, 3, 47, KindVertical},
    {1176, 3, 69, KindContactOpen},
    {1177, 3, 91, KindContactClosed},
    {1178, 26, 3, KindCoil},
    {1179, 26, 25, KindBoxOneSided},
    {1180, 26, 47, KindBoxTwoSided},
    {1181, 26, 69, KindBoxLowerHalf},
    {1182, 26, 91, KindConditional},
}};
constexpr int ButtonUnits = 16;
constexpr int PasteX = 3, PasteY = 112, PasteWidth = 39, PasteHeight = 14;
constexpr int PaletteWidth = 46, PaletteHeight = 130;

QRect UnitRect(const QFont& font, int x, int y, int width, int height) {
    const QSize at = DialogUnitsToPixels(font, x, y);
    return {QPoint(at.width(), at.height()), DialogUnitsToPixels(font, width, height)};
}

}  // namespace

PaletteDialog::PaletteDialog(QWidget* parent) : QWidget(parent, Qt::Tool) {
    InitAppResources();
    setObjectName(QStringLiteral("paletteDialog"));
    setWindowTitle(QStringLiteral("Elementos"));
    // The keys stay with the diagram while the palette is up and after its
    // buttons are clicked.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);

    for (size_t i = 0; i < PaletteLayout.size(); ++i) {
        const PaletteButton& def = PaletteLayout[i];
        auto* button = new QToolButton(this);
        button->setObjectName(QString::number(def.id));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        button->setIconSize(QSize(16, 16));
        if (const ElementTool* tool = FindElementTool(def.kind)) {
            button->setIcon(QIcon(QString::fromLatin1(tool->icon)));
            button->setToolTip(PromptToolTip(tool->prompt));
        }
        button->setGeometry(UnitRect(font(), def.x, def.y, ButtonUnits, ButtonUnits));
        const int kind = def.kind;
        connect(button, &QToolButton::clicked, this, [this, kind] { emit toolChosen(kind); });
        buttons_[i] = button;
    }
    paste_ = new QPushButton(QStringLiteral("Pegar"), this);
    paste_->setObjectName(QString::number(PasteId));
    paste_->setFocusPolicy(Qt::NoFocus);
    paste_->setGeometry(UnitRect(font(), PasteX, PasteY, PasteWidth, PasteHeight));
    paste_->setEnabled(false);
    connect(paste_, &QPushButton::clicked, this, &PaletteDialog::pasteRequested);
    setFixedSize(DialogUnitsToPixels(font(), PaletteWidth, PaletteHeight));
}

QToolButton* PaletteDialog::toolButton(int kind) const {
    for (size_t i = 0; i < PaletteLayout.size(); ++i) {
        if (PaletteLayout[i].kind == kind) return buttons_[i];
    }
    return nullptr;
}

void PaletteDialog::ShowTool(int kind) {
    for (size_t i = 0; i < PaletteLayout.size(); ++i) buttons_[i]->setChecked(PaletteLayout[i].kind == kind);
}

void PaletteDialog::EnablePaste(bool enabled) { paste_->setEnabled(enabled); }

void PaletteDialog::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByFrame();
}

}  // namespace velmorin
