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
    // The programs "Extraer programa" receives; nothing, a failed extraction.
    std::deque<std::optional<CodeImage>> extractResults;
    std::deque<MonitorClose> monitorResults;
    std::deque<std::optional<int>> portResults;
    std::deque<int> aboutResults;
    // Runs instead of the queue when set: to look at the frame as the box opens.
    std::function<int(int splashCounter)> aboutRunner;
    std::deque<ParameterResult> parameterResults;
    // Runs instead of the queue when set: a test's own dialog, the real one for instance.
    std::function<ParameterResult(const ParameterRequest& request)> parameterRunner;
    std::deque<BlockChoice> blockChoices;
    // Runs instead of the queue when set: to look at the diagram while the question is asked.
    std::function<BlockChoice()> blockRunner;

    std::vector<std::string> opened;  // "compile", "errorList", "send", ...
    std::vector<std::string> compiledPaths;
    std::vector<int> portsOffered;    // the port each port dialog started from
    std::vector<int> splashCounters;  // the counter each about box started from
    // The diagnostics each list of the live budget was given.
    std::vector<std::vector<DiagnosticEntry>> currentDiagnostics;
    std::vector<std::vector<Observation>> currentObservations;
    std::vector<ParameterRequest> parameterRequests;

    CompileResult Compile(const std::string& sourcePath) override {
        opened.push_back("compile");
        compiledPaths.push_back(sourcePath);
        if (compileRunner) return compileRunner(sourcePath);
        return Next(compileResults, CompileResult::Cancelled);
    }
    void ErrorList() override { opened.push_back("errorList"); }
    void CurrentDiagnostics(const std::vector<DiagnosticEntry>& diagnostics,
                            const std::vector<Observation>& observations) override {
        opened.push_back("currentDiagnostics");
        currentDiagnostics.push_back(diagnostics);
        currentObservations.push_back(observations);
    }
    bool SendProgram() override {
        opened.push_back("send");
        return Next(sendResults, false);
    }
    std::optional<CodeImage> ExtractProgram() override {
        opened.push_back("extract");
        return Next(extractResults, std::optional<CodeImage>());
    }
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
        if (aboutRunner) return aboutRunner(splashCounter);
        return Next(aboutResults, splashCounter);
    }
    ParameterResult Parameters(const ParameterRequest& request) override {
        opened.push_back("parameters");
        parameterRequests.push_back(request);
        if (parameterRunner) return parameterRunner(request);
        return Next(parameterResults, ParameterResult{});
    }
    BlockChoice Block() override {
        opened.push_back("block");
        if (blockRunner) return blockRunner();
        return Next(blockChoices, BlockChoice::Cancel);
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
