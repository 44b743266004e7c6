#pragma once
// "Elementos": the modeless palette beside the diagram. Ten picture buttons
// choose the insertion tool, the current tool's button shown pressed, and
// "Pegar" pastes the block buffer at the cursor cell. The view opens,
// places and closes it and keeps it in step with the tool and the buffer.
#include <QWidget>

#include <array>

class QPushButton;
class QToolButton;

namespace velmorin {

class PaletteDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int ToolButtonCount = 10;
    static constexpr int PasteId = 1169;

    explicit PaletteDialog(QWidget* parent = nullptr);

    // The button of a tool kind, nullptr for a kind the palette does not offer.
    QToolButton* toolButton(int kind) const;
    QPushButton* pasteButton() const { return paste_; }
    // Every button shown pressed exactly when its kind is `kind`.
    void ShowTool(int kind);
    void EnablePaste(bool enabled);

signals:
    void toolChosen(int kind);
    void pasteRequested();
    // Closed by the user through the window's own frame.
    void closedByFrame();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::array<QToolButton*, ToolButtonCount> buttons_{};
    QPushButton* paste_ = nullptr;
};

}  // namespace velmorin
