#pragma once
// FrameDialogs for tests: every dialog the frame opens is recorded by name
// in `opened`, and returns the answer queued for it (a dialog without one
// returns the value of a box closed at once). The compile dialog may run a
// test's own compilation instead.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/FrameDialogs.h"

namespace velmorin::testing {

class ScriptedFrameDialogs : public FrameDialogs {
public:
    std::deque<CompileResult> compileResults;
    std::function<CompileResult(const std::string& sourcePath)> compileRunner;
    std::deque<bool> sendResults;
    std::deque<MonitorClose> monitorResults;
    std::deque<std::optional<int>> portResults;
    std::deque<int> aboutResults;

    std::vector<std::string> opened;  // "compile", "errorList", "send", ...
    std::vector<std::string> compiledPaths;
    std::vector<int> portsOffered;    // the port each port dialog started from
    std::vector<int> splashCounters;  // the counter each about box started from

    CompileResult Compile(const std::string& sourcePath) override {
        opened.push_back("compile");
        compiledPaths.push_back(sourcePath);
        if (compileRunner) return compileRunner(sourcePath);
        return Next(compileResults, CompileResult::Cancelled);
    }
    void ErrorList() override { opened.push_back("errorList"); }
    bool SendProgram() override {
        opened.push_back("send");
        return Next(sendResults, false);
    }
    void ExtractProgram() override { opened.push_back("extract"); }
    MonitorClose VariableMonitor() override {
        opened.push_back("monitor");
        return Next(monitorResults, MonitorClose::Closed);
    }
    void CommandPanel() override { opened.push_back("commands"); }
    std::optional<int> SerialPort(int commPort) override {
        opened.push_back("serialPort");
        portsOffered.push_back(commPort);
        return Next(portResults, std::optional<int>());
    }
    int About(int splashCounter) override {
        opened.push_back("about");
        splashCounters.push_back(splashCounter);
        return Next(aboutResults, splashCounter);
    }

private:
    template <typename T, typename D>
    static T Next(std::deque<T>& answers, D closedAtOnce) {
        if (answers.empty()) return closedAtOnce;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace velmorin::testing
