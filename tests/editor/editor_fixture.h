#pragma once
// A model, a tool and an editing session over them, with clicks named by
// cell and half instead of pixels.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "editor/diagram_editor.h"
#include "editor/parameter_session.h"
#include "support/scripted_prompts.h"

namespace velmorin::testing {

class EditorFixture : public ::testing::Test {
protected:
    EditorFixture() : model_(std::make_unique<ProgramModel>()), editor_(*model_, tools_, overlay_) { Restart(); }

    void Restart() {
        ResetModel(*model_);
        editor_.InitialUpdate();
        editor_.ResetHover();
    }
    ProgramModel& model() { return *model_; }
    LadderCell& at(int row, int column) { return model_->grid.at(row, column); }
    int kind(int row, int column) { return at(row, column).shape; }

    static PixelPoint Point(int row, int column, int xHalf = 1, int yHalf = 1) {
        return HalfPoint({column, row}, xHalf, yHalf);
    }
    // Press and release; returns what the press reported.
    ViewEffects ClickWith(int tool, int row, int column, int xHalf = 1, int yHalf = 1) {
        tools_.SelectTool(tool);
        ViewEffects fx = editor_.LeftDown(Point(row, column, xHalf, yHalf), false);
        editor_.LeftUp();
        return fx;
    }
    // A click with an element tool, the timer, and the dialog's answer.
    ViewEffects Element(int tool, int row, int column, const ParameterResult& answer) {
        ClickWith(tool, row, column);
        const ViewEffects tick = editor_.TimerTick();
        EXPECT_TRUE(tick.openParameters) << "no dialog for " << row << "," << column;
        return editor_.ParametersClosed(answer);
    }
    static ParameterResult Accepted(int element, int index) {
        ParameterResult r{true, element, {}};
        for (auto& slot : r.params) slot[0] = Unchosen;
        r.params[0] = {static_cast<uint8_t>(index), 0};
        return r;
    }
    // The same with the real dialog's rules, filled in by `fill` and accepted.
    ViewEffects Fill(int tool, int row, int column, const std::function<void(ParameterSession&)>& fill) {
        ClickWith(tool, row, column);
        const ViewEffects tick = editor_.TimerTick();
        if (!tick.openParameters) {
            ADD_FAILURE() << "no dialog for " << row << "," << column;
            return tick;
        }
        ParameterSession dialog(*model_, *tick.openParameters);
        EXPECT_TRUE(dialog.Open(prompts_));
        fill(dialog);
        EXPECT_TRUE(dialog.Accept(prompts_, {}));
        return editor_.ParametersClosed(dialog.result());
    }

    std::unique_ptr<ProgramModel> model_;
    ToolState tools_;
    ViewOverlay overlay_;
    DiagramEditor editor_;
    ScriptedPrompts prompts_;
};

}  // namespace velmorin::testing
